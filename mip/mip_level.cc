#include "mip/mip_level.h"

#include <cstddef>

namespace tintrod {
namespace mip {
namespace {

constexpr PackedColour kNoColour = UINT32_MAX;  // packed colours use 24 bits

const std::uint8_t* entryOf(const std::uint8_t* palette, std::uint8_t index) {
  return &palette[std::size_t{3} * index];
}

PackedColour averageOfSquare(const std::uint8_t* palette, const std::uint8_t* top,
                             const std::uint8_t* bottom) {
  const std::uint8_t* corners[4] = {entryOf(palette, top[0]), entryOf(palette, top[1]),
                                    entryOf(palette, bottom[0]), entryOf(palette, bottom[1])};
  int sums[3] = {0, 0, 0};
  for (const std::uint8_t* entry : corners) {
    for (int c = 0; c < 3; ++c) sums[c] += entry[c];
  }
  return packColour(sums[0] >> 2, sums[1] >> 2, sums[2] >> 2);
}

}  // namespace

void buildMipLevelWith(NearestEntryFinder findNearest, std::uint8_t* level, std::int32_t width,
                       std::int32_t height, const std::uint8_t* palette) {
  const std::int32_t rows = height >> 1;
  const std::int32_t cols = width >> 1;
  if (rows <= 0 || cols <= 0) return;
  PlanarPalette planar;
  layOutPalette(palette, planar);
  std::uint8_t* destination = level + static_cast<std::ptrdiff_t>(width) * height;
  // The nearest entry depends on the averaged colour alone, and neighbouring
  // squares of flat or smooth areas often share it: reuse the last answer.
  PackedColour lastColour = kNoColour;
  std::uint8_t lastEntry = 0;
  for (std::int32_t y = 0; y < rows; ++y) {
    const std::uint8_t* top = level + static_cast<std::ptrdiff_t>(2 * y) * width;
    const std::uint8_t* bottom = top + width;
    std::uint8_t* out = destination + static_cast<std::ptrdiff_t>(y) * cols;
    for (std::ptrdiff_t x = 0; x < cols; ++x) {
      const PackedColour average = averageOfSquare(palette, top + 2 * x, bottom + 2 * x);
      if (average != lastColour) {
        lastEntry = findNearest(planar, average);
        lastColour = average;
      }
      out[x] = lastEntry;
    }
  }
}

}  // namespace mip

void buildMipLevel(std::uint8_t* level, std::int32_t width, std::int32_t height,
                   const std::uint8_t* palette) {
  mip::buildMipLevelWith(mip::fastestNearestEntryFinder(), level, width, height, palette);
}

void buildSmallerLevels(std::uint8_t* block, std::int32_t width, std::int32_t height,
                        const std::uint8_t* palette) {
  buildMipLevel(block, width, height, palette);
  buildMipLevel(block + static_cast<std::ptrdiff_t>(width) * height, width / 2, height / 2,
                palette);
}

}  // namespace tintrod
