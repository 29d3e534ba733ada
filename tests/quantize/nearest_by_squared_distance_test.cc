// The pruned search against a scan of every entry, from every starting guess.
#include "quantize/nearest_by_squared_distance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <vector>

namespace tintrod::quantize {
namespace {

int scanNearest(const std::vector<Rgb<int>>& entries, const Rgb<int>& colour) {
  int best = 0;
  for (int j = 1; j < static_cast<int>(entries.size()); ++j) {
    if (squaredDistance(colour, entries[j]) < squaredDistance(colour, entries[best])) best = j;
  }
  return best;
}

template <typename T>
float scanNearestOther(const std::vector<Rgb<T>>& entries, std::size_t index) {
  float best = std::numeric_limits<float>::infinity();
  for (std::size_t j = 0; j < entries.size(); ++j) {
    if (j != index)
      best = std::min(best, static_cast<float>(squaredDistance(entries[index], entries[j])));
  }
  return best;
}

TEST(NearestBySquaredDistance, MatchesScanWithLowestIndexOnTies) {
  std::mt19937 random(7);
  // Narrow ranges make ties and repeated entries common.
  for (const int range : {2, 5, 256}) {
    for (const int count : {1, 2, 17, 256}) {
      std::uniform_int_distribution<int> channel(0, range - 1);
      std::vector<Rgb<int>> entries(static_cast<std::size_t>(count));
      for (Rgb<int>& entry : entries) entry = {channel(random), channel(random), channel(random)};
      const NearestBySquaredDistance<int> nearest(entries);
      std::uniform_int_distribution<int> anyEntry(0, count - 1);
      for (int trial = 0; trial < 400; ++trial) {
        const Rgb<int> colour{channel(random), channel(random), channel(random)};
        EXPECT_EQ(nearest.find(colour, anyEntry(random)), scanNearest(entries, colour))
            << "range " << range << ", " << count << " entries";
      }
      for (std::size_t k = 0; k < entries.size(); ++k) {
        EXPECT_EQ(nearest.nearestOtherSquared(static_cast<int>(k)), scanNearestOther(entries, k));
      }
    }
  }
}

// Moved entries keep their sorted rows; the searches must widen by the drift.
TEST(NearestBySquaredDistance, MovedEntriesStillMatchScan) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> channel(0, 255);
  std::uniform_real_distribution<float> step(-3, 3);
  std::vector<Rgb<float>> entries(64);
  for (Rgb<float>& entry : entries) entry = {channel(random), channel(random), channel(random)};
  NearestBySquaredDistance<float> nearest(entries);
  for (int move = 0; move < 3; ++move) {
    for (Rgb<float>& entry : entries) {
      for (float& value : entry) value += step(random);
    }
    nearest.moveEntries(entries);
    for (std::size_t k = 0; k < entries.size(); ++k) {
      EXPECT_EQ(nearest.nearestOtherSquared(static_cast<int>(k)), scanNearestOther(entries, k));
      const Rgb<float> colour{channel(random), channel(random), channel(random)};
      int best = 0;
      for (int j = 1; j < static_cast<int>(entries.size()); ++j) {
        if (squaredDistance(colour, entries[j]) < squaredDistance(colour, entries[best])) best = j;
      }
      EXPECT_EQ(nearest.find(colour, static_cast<int>(k)), best) << "move " << move;
    }
  }
}

}  // namespace
}  // namespace tintrod::quantize
