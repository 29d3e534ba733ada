// From any picture to a slot's texture: decode, scale to the slot's size,
// quantize to 256 colours, encode as an 8-bit BMP that tintrod takes. Pure:
// bytes in, bytes out; the program and the web page wrap it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "prepare/rgb_picture.h"
#include "util/failure.h"

namespace tintrod {

enum class Fit {
  kStretch,  // scale to the slot's size
  kCrop,     // scale to cover it and cut the centre
  kPad,      // scale to fit inside it and fill the rest with the background
};

// The largest picture decoded: 32 megapixels, no side past 16384 pixels, and
// a file of at most 256 MiB. Decoding holds at once the file, the decoder's
// own buffers (up to 16 bytes a pixel, for a 16-bit RGBA PNG: its inflated
// rows and its pixels) and the 6-byte-a-pixel picture made from them: peaks
// measured at 16384 x 2048 are 232 MB for a JPEG, 396 MB for an 8-bit RGB PNG
// and 614 MB for a 16-bit RGBA one, about 7, 12 and 18 bytes a pixel. The page
// runs in a browser tab's memory.
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 25;
inline constexpr int kMaxPictureSide = 16384;
inline constexpr std::size_t kMaxPictureFileSize = std::size_t{256} << 20;

struct PrepareOptions {
  Fit fit = Fit::kStretch;
  bool dither = false;
  // Behind a picture's transparent parts, and around a padded one.
  Colour background = {0, 0, 0};
};

struct PreparedPicture {
  // kPictureDecode or kPictureTooLarge when the picture cannot be used;
  // kUnknownSlot for a size of 0 or past kMaxSlotSide (prepare/slot_size.h).
  std::optional<Failure> failure;
  // The whole 8-bit BMP file when there is no failure.
  std::vector<std::uint8_t> bitmap;
};

// `picture` is a whole PNG, JPEG, BMP, GIF or TGA file.
PreparedPicture preparePicture(std::span<const std::uint8_t> picture, int width, int height,
                               const PrepareOptions& options = {});

}  // namespace tintrod
