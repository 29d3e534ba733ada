// From any picture to a slot's texture: decode, scale to the slot's size,
// quantize to 256 colours, encode as an 8-bit BMP that tintrod takes. Pure:
// bytes in, bytes out; the program and the web page wrap it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "util/failure.h"

namespace tintrod {

enum class Fit {
  kStretch,  // scale to the slot's size
  kCrop,     // scale to cover it and cut the centre
  kPad,      // scale to fit inside it and fill the rest with black
};

struct PrepareOptions {
  Fit fit = Fit::kStretch;
  bool dither = false;
};

struct PreparedPicture {
  // kPictureDecode or kPictureTooLarge when the picture cannot be used.
  std::optional<Failure> failure;
  // The whole 8-bit BMP file when there is no failure.
  std::vector<std::uint8_t> bitmap;
};

// `picture` is a whole PNG, JPEG, BMP, GIF or TGA file.
PreparedPicture preparePicture(std::span<const std::uint8_t> picture, int width, int height,
                               const PrepareOptions& options = {});

}  // namespace tintrod
