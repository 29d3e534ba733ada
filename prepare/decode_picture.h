// Any picture file of the promised formats (PNG, JPEG, BMP, GIF's first
// frame, TGA) to opaque 16-bit RGB, its alpha composited over black. The
// 8-bit BMPs tintrod takes go through the project's own bitmap reader, the
// rest through stb_image.
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
  std::int64_t width = 0;
  std::int64_t height = 0;
};

// The size the file declares, read without decoding its pixels; nothing for
// a file in none of the formats.
std::optional<PictureSize> declaredPictureSize(std::span<const std::uint8_t> file);

// The declared size is checked against kMaxPicturePixels and kMaxPictureSide
// before any decoder sees the file, then the guards (prepare/picture_guards.h).
// A file that would need more memory than its declared picture fails as
// kPictureDecode; a machine that cannot give the memory, as kPictureTooLarge.
DecodedPicture decodePicture(std::span<const std::uint8_t> file);

}  // namespace tintrod
