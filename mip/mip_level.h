#pragma once

#include <cstdint>

#include "mip/nearest_by_difference.h"

namespace tintrod {

// Halves the palette-indexed level at `level` (width x height, rows packed)
// into the bytes directly behind it: each 2 x 2 square is averaged per channel
// (truncating) and mapped to the nearest palette entry by L1 distance, the
// lowest index winning ties. `palette` is 256 red-green-blue entries.
void buildMipLevel(std::uint8_t* level, std::int32_t width, std::int32_t height,
                   const std::uint8_t* palette);

// Rebuilds levels 1 and 2 of a pixel block from its level 0: level 2 is made
// from the new level 1, not from level 0.
void buildSmallerLevels(std::uint8_t* block, std::int32_t width, std::int32_t height,
                        const std::uint8_t* palette);

namespace mip {

// The same with a chosen search variant, so every variant can be checked.
void buildMipLevelWith(NearestByDifference findNearest, std::uint8_t* level, std::int32_t width,
                       std::int32_t height, const std::uint8_t* palette);

}  // namespace mip
}  // namespace tintrod
