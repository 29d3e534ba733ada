// The pruned search against a scan of every entry, from every starting guess.
#include "quantize/nearest_entry.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace tintrod::quantizer {
namespace {

int scanNearest(const std::vector<Rgb<int>>& entries, const Rgb<int>& colour) {
  int best = 0;
  for (int j = 1; j < static_cast<int>(entries.size()); ++j) {
    if (squaredDistance(colour, entries[j]) < squaredDistance(colour, entries[best])) best = j;
  }
  return best;
}

TEST(NearestEntry, MatchesScanWithLowestIndexOnTies) {
  std::mt19937 random(7);
  // Narrow ranges make ties and repeated entries common.
  for (const int range : {2, 5, 256}) {
    for (const int count : {1, 2, 17, 256}) {
      std::uniform_int_distribution<int> channel(0, range - 1);
      std::vector<Rgb<int>> entries(static_cast<std::size_t>(count));
      for (Rgb<int>& entry : entries) entry = {channel(random), channel(random), channel(random)};
      const NearestEntry<int> nearest(entries);
      std::uniform_int_distribution<int> anyEntry(0, count - 1);
      for (int trial = 0; trial < 400; ++trial) {
        const Rgb<int> colour{channel(random), channel(random), channel(random)};
        EXPECT_EQ(nearest.find(colour, anyEntry(random)), scanNearest(entries, colour))
            << "range " << range << ", " << count << " entries";
      }
    }
  }
}

}  // namespace
}  // namespace tintrod::quantizer
