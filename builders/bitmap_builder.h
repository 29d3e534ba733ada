// Builds BMP files byte by byte, in the variants editors write: the bundled
// sample's bitmaps, and every bitmap the tests, fuzz seeds and benchmarks make.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tintrod::builders {

using Bytes = std::vector<std::uint8_t>;

struct BitmapPlan {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bitCount = 8;         // 1, 4 or 8 pack `indices`; other depths write zero rows
  std::uint32_t compression = 0;      // 0 plain rows, 1 run-length encoded
  std::uint32_t infoHeaderSize = 40;  // 108 and 124 write V4 and V5 headers (extra bytes zero);
                                      // 12 the oldest, with 3-byte table entries
  std::vector<std::array<std::uint8_t, 3>> colors;  // red, green, blue; the colour table
  bool storeZeroColorCount = false;   // write biClrUsed as 0 (colors must then hold 256)
  std::uint32_t gapBeforePixels = 0;  // bytes between colour table and pixels
  Bytes indices;                      // width * height, file row order
  Bytes pixelData;                    // used instead of encoding `indices` when not empty
};

// The whole file; bfOffBits and bfSize are consistent with what is written.
Bytes encodeBitmap(const BitmapPlan& plan);

// A valid run-length (RLE8) stream for the indices, ending with end-of-bitmap.
Bytes encodeRle8(std::int32_t width, std::int32_t height, const Bytes& indices);

}  // namespace tintrod::builders
