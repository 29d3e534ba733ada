#include "mip/nearest_by_difference.h"
#include "mip/square_average.h"

#include <algorithm>
#include <array>

namespace tintrod::mip {
namespace {

bool always() { return true; }

#ifdef TINTROD_MIP_X86
// Initialising first keeps the answer right even from static initialisers that
// run before the runtime's own.
bool hasSse41() { return __builtin_cpu_init(), __builtin_cpu_supports("sse4.1"); }
bool hasAvx2() { return __builtin_cpu_init(), __builtin_cpu_supports("avx2"); }
bool hasAvx512() { return __builtin_cpu_init(), __builtin_cpu_supports("avx512bw"); }
#endif

constexpr NearestByDifferenceVariant kVariants[] = {
#ifdef TINTROD_MIP_X86
    {"avx512bw", nearestByDifferenceAvx512, hasAvx512},
    {"avx2", nearestByDifferenceAvx2, hasAvx2},
    {"sse4.1", nearestByDifferenceSse41, hasSse41},
#elif defined(TINTROD_MIP_WASM_SIMD)
    {"wasm-simd128", nearestByDifferenceWasmSimd, always},
#endif
    {"bounded-portable", nearestByDifferenceBoundedPortable, always},
    {"portable", nearestByDifferencePortable, always},
};

NearestByDifference pickFastest() {
  for (const NearestByDifferenceVariant& variant : kVariants) {
    if (variant.supported()) return variant.find;
  }
  return nearestByDifferencePortable;
}

std::size_t sumOf(const std::uint8_t* palette, std::size_t entry) {
  return std::size_t{palette[3 * entry]} + palette[3 * entry + 1] + palette[3 * entry + 2];
}

// A counting sort: it keeps equal sums in index order and costs a few
// microseconds, against tens of thousands of searches per palette.
void orderBySum(const std::uint8_t* palette, SumOrderedPalette& ordered) {
  // entriesBelow[s] ends as the number of entries whose sum is less than s.
  std::array<std::uint16_t, kSumCount + 1> entriesBelow{};
  for (std::size_t j = 0; j < kEntryCount; ++j) ++entriesBelow[sumOf(palette, j) + 1];
  for (std::size_t s = 1; s <= kSumCount; ++s) entriesBelow[s] += entriesBelow[s - 1];
  for (std::size_t s = 0; s < kSumCount; ++s) {
    ordered.chunkAtSum[s] =
        static_cast<std::uint8_t>(std::min(entriesBelow[s] / kSumChunkLanes, kSumChunks - 1));
  }
  std::array<std::uint16_t, kSumCount> next;
  std::copy_n(entriesBelow.begin(), kSumCount, next.begin());
  for (std::size_t j = 0; j < kEntryCount; ++j) {
    const std::size_t place = next[sumOf(palette, j)]++;
    ordered.red[place] = palette[3 * j];
    ordered.green[place] = palette[3 * j + 1];
    ordered.blue[place] = palette[3 * j + 2];
    ordered.index[place] = static_cast<std::uint8_t>(j);
    ordered.packed[place] = static_cast<std::uint32_t>(palette[3 * j] | palette[3 * j + 1] << 8 |
                                                       palette[3 * j + 2] << 16 | j << 24);
  }
  constexpr std::int32_t kOutOfReach = 4 * kSumCount;
  ordered.lowestSum[0] = ordered.highestSum[0] = -kOutOfReach;
  ordered.lowestSum[kSumChunks + 1] = ordered.highestSum[kSumChunks + 1] = kOutOfReach;
  for (int chunk = 0; chunk < kSumChunks; ++chunk) {
    const int first = chunk * kSumChunkLanes;
    const int last = first + kSumChunkLanes - 1;
    ordered.lowestSum[chunk + 1] = ordered.red[first] + ordered.green[first] + ordered.blue[first];
    ordered.highestSum[chunk + 1] = ordered.red[last] + ordered.green[last] + ordered.blue[last];
  }
}

}  // namespace

void layOutPalette(const std::uint8_t* palette, PlanarPalette& planar) {
  for (std::size_t j = 0; j < kEntryCount; ++j) {
    planar.red[j] = static_cast<std::uint16_t>(palette[3 * j] * kKeyScale);
    planar.green[j] = static_cast<std::uint16_t>(palette[3 * j + 1] * kKeyScale);
    planar.blue[j] = static_cast<std::uint16_t>(palette[3 * j + 2] * kKeyScale);
  }
  orderBySum(palette, planar.bySum);
  for (std::size_t j = 0; j < kEntryCount; ++j) planar.spread[j] = spreadEntry(palette, j);
}

std::span<const NearestByDifferenceVariant> nearestByDifferenceVariants() { return kVariants; }

NearestByDifference fastestNearestByDifference() {
  static const NearestByDifference fastest = pickFastest();
  return fastest;
}

}  // namespace tintrod::mip
