#include "mip/nearest_by_difference.h"

#ifdef TINTROD_MIP_X86
#include "mip/lane_minimum.h"

namespace tintrod::mip {

__attribute__((target("sse4.1"))) std::uint8_t nearestByDifferenceSse41(
    const PlanarPalette& palette, PackedColour colour) {
  constexpr int kLanes = 8;
  const __m128i red = _mm_set1_epi16(scaledChannel(colour, 0));
  const __m128i green = _mm_set1_epi16(scaledChannel(colour, 1));
  const __m128i blue = _mm_set1_epi16(scaledChannel(colour, 2));
  __m128i best = _mm_set1_epi16(INT16_MAX);
  for (int chunk = 0; chunk < kEntryCount / kLanes; ++chunk) {
    const int first = chunk * kLanes;
    const __m128i r = _mm_load_si128(reinterpret_cast<const __m128i*>(palette.red + first));
    const __m128i g = _mm_load_si128(reinterpret_cast<const __m128i*>(palette.green + first));
    const __m128i b = _mm_load_si128(reinterpret_cast<const __m128i*>(palette.blue + first));
    __m128i key =
        _mm_add_epi16(_mm_abs_epi16(_mm_sub_epi16(red, r)), _mm_abs_epi16(_mm_sub_epi16(green, g)));
    key = _mm_add_epi16(key, _mm_abs_epi16(_mm_sub_epi16(blue, b)));
    key = _mm_add_epi16(key, _mm_set1_epi16(static_cast<std::int16_t>(chunk)));
    best = _mm_min_epu16(best, key);
  }
  return entryOf(minimumOf8(best, 0), kLanes);
}

}  // namespace tintrod::mip

#endif
