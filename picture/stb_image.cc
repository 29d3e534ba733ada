// stb_image's implementation, with only the formats the program promises and
// libjpeg-turbo does not decode: the rest of its decoders is attack surface
// nobody asked for. Files arrive whole in memory. Library code: scripts/lint
// leaves the files holding it out.
#include "picture/decoder_memory.h"

// Every allocation counts against the budget of the picture being decoded.
#define STBI_MALLOC(bytes) tintrod::decoderAllocate(bytes)
#define STBI_REALLOC(block, bytes) tintrod::decoderReallocate(block, bytes)
#define STBI_FREE(block) tintrod::decoderFree(block)
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_NO_FAILURE_STRINGS
#include <stb/stb_image.h>
