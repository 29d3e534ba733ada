#include "tests/support/bitmap_builder.h"

#include <algorithm>

namespace tintrod::testing {

BitmapPlan makeBitmap(std::int32_t width, std::int32_t height, std::uint32_t seed, int colorCount) {
  BitmapPlan plan;
  plan.width = width;
  plan.height = height;
  for (int i = 0; i < colorCount; ++i) {
    plan.colors.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 7 + seed),
                           static_cast<std::uint8_t>(i * 13 + (seed >> 8))});
  }
  // Bands of one index alternate with noise, so a run-length encoding holds
  // both repeated and literal runs.
  std::uint32_t state = seed * 2654435761u + 1;
  const int count = std::max(colorCount, 1);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      const bool band = (x / 8 + y / 4) % 3 == 0;
      const std::uint32_t value = band ? (seed + static_cast<std::uint32_t>(y)) : state >> 24;
      plan.indices.push_back(static_cast<std::uint8_t>(value % static_cast<std::uint32_t>(count)));
    }
  }
  return plan;
}

}  // namespace tintrod::testing
