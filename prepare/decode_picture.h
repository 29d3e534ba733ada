// Any picture file the program takes (PNG, JPEG, BMP, GIF's first frame, TGA)
// to opaque 16-bit RGB, its alpha composited over a background colour: JPEG
// through libjpeg-turbo (prepare/decode_jpeg.h), the rest through stb_image.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "prepare/prepare_picture.h"
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
// a file its decoder does not recognise or the guards refuse.
std::optional<PictureSize> declaredPictureSize(std::span<const std::uint8_t> file);

// The slot a picture is decoded for. A decoder that scales while it decodes
// stops at the smallest size that the fit to the slot still reduces enough
// in each direction for the linear-light resampling after it to keep the
// texture as it would be from the whole picture (prepare/decode_jpeg.cc); a
// width or height of 0 asks for the whole picture.
struct DecodeTarget {
  int width = 0;
  int height = 0;
  Fit fit = Fit::kStretch;
};

// The declared size is checked against kMaxPicturePixels and kMaxPictureSide
// before anything is decoded.
// `background` shows through transparent parts.
DecodedPicture decodePicture(std::span<const std::uint8_t> file, const DecodeTarget& target = {},
                             const Colour& background = {});

}  // namespace tintrod
