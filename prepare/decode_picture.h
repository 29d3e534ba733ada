// Any picture file stb_image reads (PNG, JPEG, BMP, GIF's first frame, TGA)
// to opaque 16-bit RGB, its alpha composited over a background colour.
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

struct PictureSize {
  int width = 0;
  int height = 0;
};

// The size the file declares, read without decoding its pixels; nothing for
// a file stb_image does not recognise or the guards refuse.
std::optional<PictureSize> declaredPictureSize(std::span<const std::uint8_t> file);

// The declared size is checked against kMaxPicturePixels and kMaxPictureSide
// before anything is decoded.
// `background` shows through transparent parts.
DecodedPicture decodePicture(std::span<const std::uint8_t> file, const Colour& background = {});

}  // namespace tintrod
