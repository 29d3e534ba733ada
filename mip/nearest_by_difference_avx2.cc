#include "mip/nearest_by_difference.h"

#ifdef TINTROD_MIP_X86
#include "mip/lane_minimum.h"

namespace tintrod::mip {

__attribute__((target("avx2"))) std::uint8_t nearestByDifferenceAvx2(const PlanarPalette& palette,
                                                                     PackedColour colour) {
  constexpr int kLanes = 16;
  const __m256i red = _mm256_set1_epi16(scaledChannel(colour, 0));
  const __m256i green = _mm256_set1_epi16(scaledChannel(colour, 1));
  const __m256i blue = _mm256_set1_epi16(scaledChannel(colour, 2));
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
  // There is no 16-lane minpos: reduce each half, then pick between them.
  const LaneMinimum low = minimumOf8(_mm256_castsi256_si128(best), 0);
  const LaneMinimum high = minimumOf8(_mm256_extracti128_si256(best, 1), 8);
  return entryOf(earlierMinimum(low, high), kLanes);
}

}  // namespace tintrod::mip

#endif
