#include "quantize/nearest_entry.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tintrod::quantizer {
namespace {

// Neighbour distances are rounded floats; searching a little further than the
// bound keeps every entry that could tie or win, so answers stay exact.
constexpr float kBoundSlack = 1e-3F;

}  // namespace

template <typename T>
NearestEntry<T>::NearestEntry(std::span<const Rgb<T>> entries)
    : entries_(entries.begin(), entries.end()) {
  const std::size_t count = entries_.size();
  neighbours_.resize(count * count);
  for (std::size_t i = 0; i < count; ++i) {
    const auto row = neighbours_.begin() + static_cast<std::ptrdiff_t>(i * count);
    for (std::size_t j = 0; j < count; ++j) {
      const auto distance = static_cast<float>(squaredDistance(entries_[i], entries_[j]));
      row[static_cast<std::ptrdiff_t>(j)] = {std::sqrt(distance), static_cast<int>(j)};
    }
    std::sort(row, row + static_cast<std::ptrdiff_t>(count), [](Neighbour a, Neighbour b) {
      return a.distance < b.distance || (a.distance == b.distance && a.index < b.index);
    });
  }
}

template <typename T>
int NearestEntry<T>::find(const Rgb<T>& colour, int guess) const {
  const std::size_t count = entries_.size();
  const T guessDistance = squaredDistance(colour, entries_[static_cast<std::size_t>(guess)]);
  const float guessRoot = std::sqrt(static_cast<float>(guessDistance));
  int best = guess;
  T bestDistance = guessDistance;
  float bound = 2 * guessRoot + kBoundSlack;
  // An entry j can only be as near as the best so far when
  // |guess - j| <= |colour - guess| + |colour - best|.
  const Neighbour* row = neighbours_.data() + static_cast<std::size_t>(guess) * count;
  for (std::size_t n = 0; n < count && row[n].distance <= bound; ++n) {
    const int index = row[n].index;
    const T distance = squaredDistance(colour, entries_[static_cast<std::size_t>(index)]);
    if (distance < bestDistance || (distance == bestDistance && index < best)) {
      best = index;
      bestDistance = distance;
      bound = guessRoot + std::sqrt(static_cast<float>(bestDistance)) + kBoundSlack;
    }
  }
  return best;
}

template class NearestEntry<int>;
template class NearestEntry<float>;

}  // namespace tintrod::quantizer
