// From any picture to a slot's texture: decode, scale to the slot's size,
// quantize to 256 colours, encode as an 8-bit BMP that tintrod takes. Pure:
// bytes in, bytes out; the program and the web page wrap it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "picture/picture_reader.h"
#include "picture/rgb_picture.h"
#include "util/picture_limits.h"
#include "util/status.h"

namespace tintrod {

struct PrepareOptions {
  // As tintrod-prepare without --fit: cropped to cover the slot, never distorted.
  Fit fit = Fit::kCrop;
  bool dither = false;
  // Behind a picture's transparent parts, and around a padded one.
  Colour background = {0, 0, 0};
};

// The whole 8-bit BMP file; or kPictureDecode or kPictureTooLarge when the
// picture cannot be used, kUnknownSlot for a size of 0 or past kMaxSlotSide
// (prepare/slot_size.h). The failure names no file: only the caller knows
// the picture's name.
using PreparedPicture = Result<std::vector<std::uint8_t>>;

// `picture` is a whole file of any format openPicture reads.
PreparedPicture preparePicture(std::span<const std::uint8_t> picture, int width, int height,
                               const PrepareOptions& options);

}  // namespace tintrod
