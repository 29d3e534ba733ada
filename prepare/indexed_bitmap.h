// BMPs whose pixels index a colour table (1, 4 or 8 bits, bitmap/
// palette_bitmap.h), read with the project's own bitmap reader: tintrod-prepare
// takes every picture tintrod does and reads it the same way, and every
// index, listed or not, has a defined colour.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "prepare/decode_picture.h"

namespace tintrod {

// Nothing for a BMP of another kind (true colour, bit fields): another reader
// decides about it. Rows that end before the picture does, or a run-length
// stream that ends early or runs off the picture, fail as kPictureDecode.
std::optional<DecodedPicture> decodeIndexedBitmap(std::span<const std::uint8_t> file);

}  // namespace tintrod
