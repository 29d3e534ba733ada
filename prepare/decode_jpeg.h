// JPEG through libjpeg-turbo, decoded straight to a fraction of its size
// (1/8 to 8/8) in the DCT domain: a camera photo bound for a slot of a few
// hundred pixels never exists at full size. One IDCT and one set of options
// everywhere, so that every build gives the same pixels.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "prepare/decode_picture.h"

namespace tintrod {

// The smallest fraction that the fit to the target still reduces three times
// over in each direction it must (prepare/decode_jpeg.cc says why); the whole
// picture when `target` asks for no reduction. Either within a memory cap: a
// smaller fraction where it would pass it, and past 1/8 the rows averaged
// over boxes, so that a baseline file of any size holds little.
DecodedPicture decodeJpeg(std::span<const std::uint8_t> file, const DecodeTarget& target);

}  // namespace tintrod
