#include "mip/nearest_entry.h"

#ifdef TINTROD_MIP_X86
#include <immintrin.h>

namespace tintrod::mip {
namespace {

struct LaneMinimum {
  int key;
  int lane;
};

__attribute__((target("avx2"))) LaneMinimum minimumOf8(__m128i keys) {
  const int found = _mm_cvtsi128_si32(_mm_minpos_epu16(keys));
  return {found & 0xFFFF, found >> 16};
}

}  // namespace

__attribute__((target("avx2"))) std::uint8_t nearestEntryAvx2(const PlanarPalette& palette,
                                                              Rgb colour) {
  constexpr int kLanes = 16;
  const __m256i red = _mm256_set1_epi16(static_cast<std::int16_t>(colour.red * kKeyScale));
  const __m256i green = _mm256_set1_epi16(static_cast<std::int16_t>(colour.green * kKeyScale));
  const __m256i blue = _mm256_set1_epi16(static_cast<std::int16_t>(colour.blue * kKeyScale));
  __m256i best = _mm256_set1_epi16(INT16_MAX);
  for (int chunk = 0; chunk < kEntryCount / kLanes; ++chunk) {
    const int first = chunk * kLanes;
    const __m256i r = _mm256_load_si256(reinterpret_cast<const __m256i*>(palette.red + first));
    const __m256i g = _mm256_load_si256(reinterpret_cast<const __m256i*>(palette.green + first));
    const __m256i b = _mm256_load_si256(reinterpret_cast<const __m256i*>(palette.blue + first));
    __m256i key = _mm256_add_epi16(_mm256_abs_epi16(_mm256_sub_epi16(red, r)),
                                   _mm256_abs_epi16(_mm256_sub_epi16(green, g)));
    key = _mm256_add_epi16(key, _mm256_abs_epi16(_mm256_sub_epi16(blue, b)));
    key = _mm256_add_epi16(key, _mm256_set1_epi16(static_cast<std::int16_t>(chunk)));
    best = _mm256_min_epu16(best, key);
  }
  // There is no 16-lane minpos; on equal keys the lower half holds the lower
  // entries, so it wins.
  const LaneMinimum low = minimumOf8(_mm256_castsi256_si128(best));
  LaneMinimum high = minimumOf8(_mm256_extracti128_si256(best, 1));
  high.lane += kLanes / 2;
  const LaneMinimum winner = low.key <= high.key ? low : high;
  return static_cast<std::uint8_t>((winner.key % kKeyScale) * kLanes + winner.lane);
}

}  // namespace tintrod::mip

#endif
