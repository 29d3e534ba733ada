#include "mip/nearest_entry.h"

#ifdef TINTROD_MIP_X86
#include <immintrin.h>

namespace tintrod::mip {
namespace {

static_assert(kSumChunkLanes == 16, "one chunk is one vector of 16-bit lanes");

struct Target {
  __m256i red;
  __m256i green;
  __m256i blue;
};

__attribute__((target("avx2"))) inline __m256i lanesOf(const std::uint16_t* channel, int first) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(channel + first));
}

__attribute__((target("avx2"))) inline __m256i absoluteDifference(__m256i target,
                                                                  const std::uint16_t* channel,
                                                                  int first) {
  return _mm256_abs_epi16(_mm256_sub_epi16(target, lanesOf(channel, first)));
}

__attribute__((target("avx2"))) inline __m256i keysOfChunk(const SumOrderedPalette& ordered,
                                                           int chunk, const Target& target) {
  const int first = chunk * kSumChunkLanes;
  __m256i distance = _mm256_add_epi16(absoluteDifference(target.red, ordered.red, first),
                                      absoluteDifference(target.green, ordered.green, first));
  distance = _mm256_add_epi16(distance, absoluteDifference(target.blue, ordered.blue, first));
  distance = _mm256_min_epu16(distance, _mm256_set1_epi16(kSaturatedDistance));
  return _mm256_or_si256(_mm256_slli_epi16(distance, 8), lanesOf(ordered.index, first));
}

__attribute__((target("avx2"))) inline int smallestKey(__m256i keys) {
  const __m128i halves =
      _mm_min_epu16(_mm256_castsi256_si128(keys), _mm256_extracti128_si256(keys, 1));
  return _mm_cvtsi128_si32(_mm_minpos_epu16(halves)) & 0xFFFF;
}

}  // namespace

// The portable bounded search with one vector per chunk; see there.
__attribute__((target("avx2"))) std::uint8_t nearestEntryBoundedAvx2(const PlanarPalette& palette,
                                                                     PackedColour colour) {
  const SumOrderedPalette& ordered = palette.bySum;
  const int red = channelOf(colour, 0);
  const int green = channelOf(colour, 1);
  const int blue = channelOf(colour, 2);
  const int sum = red + green + blue;
  const Target target = {_mm256_set1_epi16(static_cast<std::int16_t>(red)),
                         _mm256_set1_epi16(static_cast<std::int16_t>(green)),
                         _mm256_set1_epi16(static_cast<std::int16_t>(blue))};
  int low = ordered.chunkAtSum[sum];
  int high = low;
  __m256i keys = keysOfChunk(ordered, low, target);
  int best = smallestKey(keys);
  for (;;) {
    const int below = sum - ordered.highestSum[low];
    const int above = ordered.lowestSum[high + 2] - sum;
    if ((below < above ? below : above) > best >> 8) break;
    const int chunk = below <= above ? --low : ++high;
    keys = _mm256_min_epu16(keys, keysOfChunk(ordered, chunk, target));
    best = smallestKey(keys);
  }
  if (best >> 8 >= kSaturatedDistance) return nearestEntryAvx2(palette, colour);
  return static_cast<std::uint8_t>(best & 0xFF);
}

}  // namespace tintrod::mip

#endif
