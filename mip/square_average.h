// The averaged colour of a 2 x 2 square of palette indices, per channel and
// truncating.
#pragma once

#include <cstddef>
#include <cstdint>

#include "mip/nearest_by_difference.h"

namespace tintrod::mip {

// An entry's channels ten bits apart: four entries add up without carrying
// into the next channel (4 x 255 < 1024).
inline std::uint32_t spreadEntry(const std::uint8_t* palette, std::size_t entry) {
  return static_cast<std::uint32_t>(palette[3 * entry] << 20 | palette[3 * entry + 1] << 10 |
                                    palette[3 * entry + 2]);
}

inline PackedColour averageOfSquare(const std::uint32_t* spread, const std::uint8_t* top,
                                    const std::uint8_t* bottom) {
  const std::uint32_t total =
      spread[top[0]] + spread[top[1]] + spread[bottom[0]] + spread[bottom[1]];
  return packColour(static_cast<int>(total >> 22 & 0xFF), static_cast<int>(total >> 12 & 0xFF),
                    static_cast<int>(total >> 2 & 0xFF));
}

}  // namespace tintrod::mip
