// Finding the palette entry nearest to a colour by the sum of the channels'
// absolute differences (the quantizer's search uses the squared distance):
// the one inner search of the mip level generator, in a portable form and in
// vector forms that are picked at run time by what the processor offers.
#pragma once

#include <cstdint>
#include <span>

#include "util/packed_colour.h"

namespace tintrod::mip {

inline constexpr int kEntryCount = 256;
inline constexpr int kChannelMax = 255;

// Vector lanes compare keys, distance * kKeyScale + chunk, where a chunk is one
// lane-wide run of entries. A lane's smallest key then carries both its
// smallest distance and the earliest chunk holding it, which keeps the lowest
// index on ties. 32 chunks of 8 entries is the most any variant uses, and the
// largest key, 765 * 32 + 31, still fits a signed 16-bit lane.
inline constexpr int kKeyScale = 32;
static_assert(3 * kChannelMax * kKeyScale + kKeyScale - 1 <= INT16_MAX);

// A channel as the vector lanes compare it: times kKeyScale.
constexpr std::int16_t scaledChannel(PackedColour colour, int channel) {
  return static_cast<std::int16_t>(channelOf(colour, channel) * kKeyScale);
}

// The entries ordered by the sum of their channels, in chunks of
// kSumChunkLanes, for searches that stop early: the L1 distance between two
// colours is at least the difference of their sums, so once the nearest chunk
// in sum lies further than the best distance found, no later entry can win.
inline constexpr int kSumChunkLanes = 16;
inline constexpr int kSumChunks = kEntryCount / kSumChunkLanes;
inline constexpr int kSumCount = 3 * kChannelMax + 1;

// Keys of the bounded searches: min(distance, kSaturatedDistance) times 256 plus
// the entry's index, so the smallest key names the lowest index at the
// smallest distance. Only a nearest distance of kSaturatedDistance or more is
// ambiguous, and those searches then fall back to the full scan.
inline constexpr int kSaturatedDistance = 255;

struct SumOrderedPalette {
  // Unscaled channels and the original index, by ascending sum, then index.
  alignas(64) std::uint8_t red[kEntryCount];
  alignas(64) std::uint8_t green[kEntryCount];
  alignas(64) std::uint8_t blue[kEntryCount];
  alignas(64) std::uint8_t index[kEntryCount];
  // The same, one word per entry: red, green, blue and index from the lowest
  // byte up.
  alignas(64) std::uint32_t packed[kEntryCount];
  // The smallest and largest sum in each chunk, one place later than the
  // chunk's number: the places before and after hold sums no colour reaches,
  // so the search needs no end checks.
  std::int32_t lowestSum[kSumChunks + 2];
  std::int32_t highestSum[kSumChunks + 2];
  // The chunk holding the first entry whose sum is at least the given sum,
  // or the last chunk when there is none.
  std::uint8_t chunkAtSum[kSumCount];
};

// The palette as one array per channel, each value already times kKeyScale so
// a lane's distance comes out scaled and the chunk only needs adding.
struct PlanarPalette {
  alignas(64) std::uint16_t red[kEntryCount];
  alignas(64) std::uint16_t green[kEntryCount];
  alignas(64) std::uint16_t blue[kEntryCount];
  SumOrderedPalette bySum;
  // For averaging squares; see square_average.h.
  std::uint32_t spread[kEntryCount];
};

// Built once per palette: both smaller levels search the same one.
void layOutPalette(const std::uint8_t* palette, PlanarPalette& planar);

// Returns the lowest index among the entries nearest to `colour` by the sum of
// the channels' absolute differences.
using NearestByDifference = std::uint8_t (*)(const PlanarPalette& palette, PackedColour colour);

struct NearestByDifferenceVariant {
  const char* name;
  NearestByDifference find;
  bool (*supported)();
};

// Every variant built into this binary, fastest first; the portable one is
// last and always supported.
std::span<const NearestByDifferenceVariant> nearestByDifferenceVariants();

// The fastest variant this processor runs, chosen once.
NearestByDifference fastestNearestByDifference();

std::uint8_t nearestByDifferencePortable(const PlanarPalette& palette, PackedColour colour);
std::uint8_t nearestByDifferenceBoundedPortable(const PlanarPalette& palette, PackedColour colour);

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define TINTROD_MIP_X86 1
std::uint8_t nearestByDifferenceSse41(const PlanarPalette& palette, PackedColour colour);
std::uint8_t nearestByDifferenceAvx2(const PlanarPalette& palette, PackedColour colour);
std::uint8_t nearestByDifferenceAvx512(const PlanarPalette& palette, PackedColour colour);
#endif

#if defined(__wasm_simd128__)
#define TINTROD_MIP_WASM_SIMD 1
std::uint8_t nearestByDifferenceWasmSimd(const PlanarPalette& palette, PackedColour colour);
#endif

}  // namespace tintrod::mip
