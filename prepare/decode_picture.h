// Any picture file of the promised formats (PNG, JPEG, BMP, GIF's first
// frame, TGA) to opaque 16-bit RGB, its alpha composited over a background
// colour. The 8-bit BMPs tintrod takes go through the project's own bitmap
// reader, JPEG through libjpeg-turbo (prepare/decode_jpeg.h), the rest
// through stb_image.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "prepare/prepare_picture.h"
#include "prepare/rgb_picture.h"
#include "util/status.h"

namespace tintrod {

// The picture, or kPictureDecode or kPictureTooLarge.
using DecodedPicture = Result<RgbPicture>;

struct PictureSize {
  std::int64_t width = 0;
  std::int64_t height = 0;
};

// The size the file declares, read without decoding its pixels; nothing for
// a file in none of the formats.
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
// before any decoder sees the file (a JPEG's only when arithmetic-coded: a
// JPEG is bounded by the memory it holds, prepare/decode_jpeg.cc), then the
// guards (prepare/picture_guards.h). A file that would need more memory than
// its declared picture fails as kPictureDecode; a machine that cannot give
// the memory, as kPictureTooLarge (kJpegTooLarge for a JPEG).
// `background` shows through transparent parts.
DecodedPicture decodePicture(std::span<const std::uint8_t> file, const DecodeTarget& target = {},
                             const Colour& background = {});

}  // namespace tintrod
