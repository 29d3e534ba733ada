// The one halving loop: every 2 x 2 square of a level averaged and mapped to
// a palette entry by whichever search the caller brings.
#pragma once

#include <cstddef>
#include <cstdint>

#include "mip/square_average.h"

namespace tintrod::mip {

// Always inlined, so that the loop takes on its caller's target: inside the
// AVX2 cell search the vector search inlines into it, which a loop compiled
// for the baseline processor would have to call instead.
template <typename Search>
[[gnu::always_inline]] inline void halveLevel(const std::uint32_t* spread, std::uint8_t* level,
                                              std::int32_t width, std::int32_t height,
                                              Search search) {
  const std::int32_t rows = height >> 1;
  const std::int32_t cols = width >> 1;
  if (rows <= 0 || cols <= 0) return;
  std::uint8_t* destination = level + static_cast<std::ptrdiff_t>(width) * height;
  // The nearest entry depends on the averaged colour alone, and neighbouring
  // squares of flat or smooth areas often share it: reuse the last answer.
  // No packed colour reaches the first one.
  PackedColour lastColour = UINT32_MAX;
  std::uint8_t lastEntry = 0;
  for (std::int32_t y = 0; y < rows; ++y) {
    const std::uint8_t* top = level + static_cast<std::ptrdiff_t>(2 * y) * width;
    const std::uint8_t* bottom = top + width;
    std::uint8_t* out = destination + static_cast<std::ptrdiff_t>(y) * cols;
    for (std::ptrdiff_t x = 0; x < cols; ++x) {
      const PackedColour average = averageOfSquare(spread, top + 2 * x, bottom + 2 * x);
      if (average != lastColour) {
        lastEntry = search(average);
        lastColour = average;
      }
      out[x] = lastEntry;
    }
  }
}

}  // namespace tintrod::mip
