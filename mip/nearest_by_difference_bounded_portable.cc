#include <algorithm>
#include <climits>
#include <cstdlib>

#include "mip/nearest_by_difference.h"

namespace tintrod::mip {

std::uint8_t nearestByDifferenceBoundedPortable(const PlanarPalette& palette, PackedColour colour) {
  const SumOrderedPalette& ordered = palette.bySum;
  const int red = redOf(colour);
  const int green = greenOf(colour);
  const int blue = blueOf(colour);
  const int sum = red + green + blue;
  const auto foldChunk = [&](int chunk, int best) {
    for (int j = chunk * kSumChunkLanes; j < (chunk + 1) * kSumChunkLanes; ++j) {
      const int distance = std::abs(red - ordered.red[j]) + std::abs(green - ordered.green[j]) +
                           std::abs(blue - ordered.blue[j]);
      best = std::min(best, std::min(distance, kSaturatedDistance) << 8 | ordered.index[j]);
    }
    return best;
  };
  // Outward from the target's sum, always to the nearer side; chunk c's sums
  // sit at place c + 1.
  int low = ordered.chunkAtSum[sum];
  int high = low;
  int best = foldChunk(low, INT_MAX);
  for (;;) {
    const int below = sum - ordered.highestSum[low];
    const int above = ordered.lowestSum[high + 2] - sum;
    // An equal gap may still hold an equally near entry of lower index.
    if (std::min(below, above) > best >> 8) break;
    best = below <= above ? foldChunk(--low, best) : foldChunk(++high, best);
  }
  if (best >> 8 >= kSaturatedDistance) return nearestByDifferencePortable(palette, colour);
  return static_cast<std::uint8_t>(best & 0xFF);
}

}  // namespace tintrod::mip
