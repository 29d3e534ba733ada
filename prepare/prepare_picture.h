// From any picture to a slot's texture: decode, scale to the slot's size,
// quantize to 256 colours, encode as an 8-bit BMP that tintrod takes. Pure:
// bytes in, bytes out; the program and the web page wrap it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "prepare/rgb_picture.h"
#include "util/status.h"

namespace tintrod {

enum class Fit {
  kStretch,  // scale to the slot's size
  kCrop,     // scale to cover it and cut the centre
  kPad,      // scale to fit inside it and fill the rest with the background
};

// The largest picture decoded in a format other than JPEG (a JPEG decodes to
// the slot's scale, and only its memory is limited): 32 megapixels, no side
// past 16384 pixels, a file of at most 256 MiB, and no more than
// kMaxPictureMemory (256 MiB) held at once, the file included
// (prepare/picture_memory.h): the decoder's own pixels become the picture, 8
// bits a channel, so a PNG holds its file, its compressed data, its inflated
// rows and its pixels. Peaks measured at 32 megapixels: 250 MB for a photo as
// an 8-bit RGB PNG (52 MB), 200 MB for a 24-bit BMP or TGA; PNGs that
// compress poorly or hold 16 bits a channel and GIFs that large are refused
// as too large before decoding. A JPEG to a 256 x 256 slot: 19 to 40 MB for
// a baseline one of 48 to 200 megapixels, 161 MB for a progressive 4:2:0 one
// of 48. The page runs in a browser tab's memory.
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 25;
inline constexpr int kMaxPictureSide = 16384;
inline constexpr std::size_t kMaxPictureFileSize = std::size_t{256} << 20;

struct PrepareOptions {
  Fit fit = Fit::kStretch;
  bool dither = false;
  // Behind a picture's transparent parts, and around a padded one.
  Colour background = {0, 0, 0};
};

// The whole 8-bit BMP file; or kPictureDecode or kPictureTooLarge when the
// picture cannot be used, kUnknownSlot for a size of 0 or past kMaxSlotSide
// (prepare/slot_size.h). The failure names no file: only the caller knows
// the picture's name.
using PreparedPicture = Result<std::vector<std::uint8_t>>;

// `picture` is a whole PNG, JPEG, BMP, GIF, TGA or WebP file.
PreparedPicture preparePicture(std::span<const std::uint8_t> picture, int width, int height,
                               const PrepareOptions& options = {});

}  // namespace tintrod
