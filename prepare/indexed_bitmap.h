// The 8-bit BMPs that tintrod takes, plain or run-length encoded, read with
// the project's own bitmap reader (bitmap/), so that tintrod-prepare takes
// every picture tintrod does and reads it the same way.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "prepare/decode_picture.h"

namespace tintrod {

// Nothing for a file tintrod would not take (another depth, a top-down or
// cut-off layout): another reader decides about it. A run-length stream that
// ends early or runs off the picture fails as kPictureDecode.
std::optional<DecodedPicture> decodeIndexedBitmap(std::span<const std::uint8_t> file);

}  // namespace tintrod
