// The bitmap builders as tests, fuzz seeds and benchmarks name them, and the
// patterned bitmaps only they make.
#pragma once

#include <cstdint>
#include <vector>

#include "builders/bitmap_builder.h"

namespace tintrod::testing {

using Bytes = std::vector<std::uint8_t>;

using builders::BitmapPlan;
using builders::encodeBitmap;
using builders::encodeRle8;

// A bitmap of the given size with `colorCount` distinct colours and a
// deterministic pattern.
BitmapPlan makeBitmap(std::int32_t width, std::int32_t height, std::uint32_t seed,
                      int colorCount = 256);

}  // namespace tintrod::testing
