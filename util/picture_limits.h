// The largest picture the programs decode. A JPEG decodes to the slot's scale,
// so only the memory it holds is limited; every other format is decoded whole
// and keeps these size limits as well: 32 megapixels, no side past 16384
// pixels, a file of at most 256 MiB. No picture makes a run hold more than
// kMaxPictureMemory at once, the file included (picture/picture_memory.h).
// Peaks measured at 32 megapixels: 250 MB for a photo as an 8-bit RGB PNG
// (52 MB), 200 MB for a 24-bit BMP or TGA; PNGs that compress poorly or hold
// 16 bits a channel and GIFs that large are refused as too large before
// decoding. A JPEG to a 256 x 256 slot: 19 to 40 MB for a baseline one of 48
// to 200 megapixels, 161 MB for a progressive 4:2:0 one of 48. The page runs
// in a browser tab's memory. A header alone in util/, so that the too-large
// lines of util/failure.cc are built from these and cannot state others.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tintrod {

inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 25;
inline constexpr int kMaxPictureSide = 16384;
inline constexpr std::size_t kMaxPictureFileSize = std::size_t{256} << 20;
inline constexpr std::int64_t kMaxPictureMemory = std::int64_t{256} << 20;

inline constexpr bool withinSizeLimits(std::int64_t width, std::int64_t height) {
  return width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

}  // namespace tintrod
