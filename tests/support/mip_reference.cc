#include "tests/support/mip_reference.h"

#include <cstddef>
#include <cstdlib>

namespace tintrod::testing {

void buildMipLevelReference(std::uint8_t* level, std::int32_t width, std::int32_t height,
                            const std::uint8_t* palette) {
  const std::int32_t rows = height >> 1;
  const std::int32_t cols = width >> 1;
  if (rows <= 0) return;
  std::uint8_t* destination = level + static_cast<std::ptrdiff_t>(width) * height;
  for (std::int32_t y = 0; y < rows; ++y) {
    const std::uint8_t* top = level + static_cast<std::ptrdiff_t>(2 * y) * width;
    const std::uint8_t* bottom = top + width;
    for (std::int32_t x = 0; x < cols; ++x) {
      const std::uint8_t* square[4] = {&palette[3 * top[2 * x]], &palette[3 * top[2 * x + 1]],
                                       &palette[3 * bottom[2 * x]],
                                       &palette[3 * bottom[2 * x + 1]]};
      int average[3];
      for (int c = 0; c < 3; ++c) {
        average[c] = (square[0][c] + square[1][c] + square[2][c] + square[3][c]) >> 2;
      }
      int bestDistance = 9999999;
      int bestIndex = -1;
      for (int j = 0; j < 256; ++j) {
        const std::uint8_t* entry = &palette[3 * j];
        const int distance = std::abs(average[0] - entry[0]) + std::abs(average[1] - entry[1]) +
                             std::abs(average[2] - entry[2]);
        if (distance < bestDistance) {
          bestDistance = distance;
          bestIndex = j;
        }
        if (bestDistance == 0) break;
      }
      destination[static_cast<std::ptrdiff_t>(y) * cols + x] = static_cast<std::uint8_t>(bestIndex);
    }
  }
}

}  // namespace tintrod::testing
