// Any picture file stb_image reads (PNG, JPEG, BMP, GIF's first frame, TGA)
// to opaque 16-bit RGB, its alpha composited over black.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "prepare/rgb_picture.h"
#include "util/failure.h"

namespace tintrod {

struct DecodedPicture {
  std::optional<Failure> failure;  // kPictureDecode or kPictureTooLarge
  RgbPicture picture;
};

// The declared size is checked against kMaxPicturePixels and kMaxPictureSide
// before anything is decoded.
DecodedPicture decodePicture(std::span<const std::uint8_t> file);

}  // namespace tintrod
