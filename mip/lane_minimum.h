// Reducing a vector of 16-bit keys (see kKeyScale) to the entry it stands for.
// x86 only; every vector variant includes it.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "mip/nearest_by_difference.h"

namespace tintrod::mip {

struct LaneMinimum {
  int key;
  int lane;
};

// The smallest of eight keys and the lowest lane holding it.
__attribute__((target("sse4.1"))) inline LaneMinimum minimumOf8(__m128i keys, int firstLane) {
  const int found = _mm_cvtsi128_si32(_mm_minpos_epu16(keys));
  return {found & 0xFFFF, firstLane + (found >> 16)};
}

// On equal keys the lower lanes hold the lower entries, so `lower` wins.
inline LaneMinimum earlierMinimum(LaneMinimum lower, LaneMinimum higher) {
  return higher.key < lower.key ? higher : lower;
}

inline std::uint8_t entryOf(LaneMinimum minimum, int lanes) {
  return static_cast<std::uint8_t>((minimum.key % kKeyScale) * lanes + minimum.lane);
}

}  // namespace tintrod::mip
