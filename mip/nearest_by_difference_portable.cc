#include <cstdlib>

#include "mip/nearest_by_difference.h"

namespace tintrod::mip {

std::uint8_t nearestByDifferencePortable(const PlanarPalette& palette, PackedColour colour) {
  const int red = scaledChannel(colour, 0);
  const int green = scaledChannel(colour, 1);
  const int blue = scaledChannel(colour, 2);
  // The index rides in the low byte, so the smallest key is the smallest
  // distance at its lowest index, and the loop stays free of branches.
  std::uint32_t bestKey = UINT32_MAX;
  for (int j = 0; j < kEntryCount; ++j) {
    const int distance = std::abs(red - palette.red[j]) + std::abs(green - palette.green[j]) +
                         std::abs(blue - palette.blue[j]);
    const std::uint32_t key =
        (static_cast<std::uint32_t>(distance) << 8) | static_cast<std::uint32_t>(j);
    bestKey = key < bestKey ? key : bestKey;
  }
  return static_cast<std::uint8_t>(bestKey);
}

}  // namespace tintrod::mip
