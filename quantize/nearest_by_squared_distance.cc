#include "quantize/nearest_by_squared_distance.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "quantize/counting_sort.h"

namespace tintrod::quantize {
namespace {

// Distances between entries are kept as integers, so each entry's row sorts
// as plain keys; a step of 1/64 is far finer than any gap that matters.
constexpr float kKeyStepsPerUnit = 64;
constexpr int kIndexBits = 8;
constexpr std::uint32_t kIndexMask = (1U << kIndexBits) - 1;
// Rounding in the square roots is bounded well below this; searching a little
// further than the exact bound keeps every entry that could tie or win.
constexpr float kBoundSlack = 1e-3F;

std::uint32_t keyOf(float distance, std::size_t index) {
  // Rounded down and a half step less, the stored distance never exceeds the
  // true one, so stopping on it never skips a candidate.
  const float steps = std::max(0.0F, distance * kKeyStepsPerUnit - 0.5F);
  return static_cast<std::uint32_t>(steps) << kIndexBits | static_cast<std::uint32_t>(index);
}

float distanceOfKey(std::uint32_t key) {
  return static_cast<float>(key >> kIndexBits) / kKeyStepsPerUnit;
}

// The first key whose distance is beyond `bound`: a key's distance is a whole
// number of steps, so comparing keys is comparing distances, exactly.
std::uint32_t keyBeyond(float bound) {
  const float steps = std::floor(bound * kKeyStepsPerUnit) + 1;
  constexpr auto kLastStep = static_cast<float>(UINT32_MAX >> kIndexBits);
  if (!(steps <= kLastStep)) return UINT32_MAX;
  return static_cast<std::uint32_t>(steps) << kIndexBits;
}

// A row is built in index order, so ordering it stably by distance alone
// orders it by key.
void sortRow(std::span<std::uint32_t> row, std::span<std::uint32_t> scratch) {
  const std::uint32_t farthest = *std::max_element(row.begin(), row.end());
  for (int shift = kIndexBits; shift < 32 && (farthest >> shift) != 0; shift += 8) {
    countingPass(row, scratch,
                 [shift](std::uint32_t key) { return static_cast<std::uint8_t>(key >> shift); });
    std::copy(scratch.begin(), scratch.end(), row.begin());
  }
}

}  // namespace

template <typename T>
NearestBySquaredDistance<T>::NearestBySquaredDistance(std::span<const Rgb<T>> entries)
    : entries_(entries.begin(), entries.end()), sortedAt_(entries_), drift_(entries_.size()) {
  const std::size_t count = entries_.size();
  neighbours_.resize(count * count);
  // Each distance serves both rows it belongs in.
  for (std::size_t i = 0; i < count; ++i) {
    neighbours_[i * count + i] = keyOf(0, i);
    for (std::size_t j = i + 1; j < count; ++j) {
      const float distance =
          std::sqrt(static_cast<float>(squaredDistance(entries_[i], entries_[j])));
      neighbours_[i * count + j] = keyOf(distance, j);
      neighbours_[j * count + i] = keyOf(distance, i);
    }
  }
  std::vector<std::uint32_t> scratch(count);
  for (std::size_t i = 0; i < count; ++i) sortRow({neighbours_.data() + i * count, count}, scratch);
}

template <typename T>
float NearestBySquaredDistance<T>::moveEntries(std::span<const Rgb<T>> entries) {
  std::copy(entries.begin(), entries.end(), entries_.begin());
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    drift_[i] = std::sqrt(static_cast<float>(squaredDistance(entries_[i], sortedAt_[i])));
    farthestDrift_ = std::max(farthestDrift_, drift_[i]);
  }
  return farthestDrift_;
}

template <typename T>
int NearestBySquaredDistance<T>::find(const Rgb<T>& colour, int guess) const {
  const std::size_t count = entries_.size();
  const T guessDistance = squaredDistance(colour, entries_[static_cast<std::size_t>(guess)]);
  const float guessRoot = std::sqrt(static_cast<float>(guessDistance));
  int best = guess;
  T bestDistance = guessDistance;
  // An entry j can only be as near as the best so far when
  // |guess - j| <= |colour - guess| + |colour - best|.
  // Rows hold distances from when they were sorted; moves since then can have
  // brought an entry nearer the guess by both their drifts.
  const float slack = kBoundSlack + drift_[static_cast<std::size_t>(guess)] + farthestDrift_;
  std::uint32_t end = keyBeyond(2 * guessRoot + slack);
  const std::uint32_t* row = neighbours_.data() + static_cast<std::size_t>(guess) * count;
  for (std::size_t n = 0; n < count && row[n] < end; ++n) {
    const auto index = static_cast<int>(row[n] & kIndexMask);
    const T distance = squaredDistance(colour, entries_[static_cast<std::size_t>(index)]);
    if (distance < bestDistance || (distance == bestDistance && index < best)) {
      best = index;
      bestDistance = distance;
      end = keyBeyond(guessRoot + std::sqrt(static_cast<float>(bestDistance)) + slack);
    }
  }
  return best;
}

template <typename T>
float NearestBySquaredDistance<T>::nearestOtherSquared(int index) const {
  const std::size_t count = entries_.size();
  const auto self = static_cast<std::size_t>(index);
  // An entry's distance can have shrunk since sorting by both entries' drifts.
  const float slack = kBoundSlack + drift_[self] + farthestDrift_;
  float best = std::numeric_limits<float>::infinity();
  const std::uint32_t* row = neighbours_.data() + self * count;
  for (std::size_t n = 0; n < count && distanceOfKey(row[n]) - slack <= std::sqrt(best); ++n) {
    const std::size_t other = row[n] & kIndexMask;
    if (other == self) continue;
    best = std::min(best, static_cast<float>(squaredDistance(entries_[self], entries_[other])));
  }
  return best;
}

template class NearestBySquaredDistance<int>;
template class NearestBySquaredDistance<float>;

}  // namespace tintrod::quantize
