// stb_image_resize's implementation. Library code: scripts/lint leaves the
// files holding it out.
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb/stb_image_resize.h>
