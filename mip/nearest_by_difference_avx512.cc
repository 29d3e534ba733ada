#include "mip/nearest_by_difference.h"

#ifdef TINTROD_MIP_X86
#include "mip/lane_minimum.h"

namespace tintrod::mip {
namespace {

__attribute__((target("avx512bw"))) LaneMinimum minimumOf16(__m256i keys, int firstLane) {
  const LaneMinimum low = minimumOf8(_mm256_castsi256_si128(keys), firstLane);
  const LaneMinimum high = minimumOf8(_mm256_extracti128_si256(keys, 1), firstLane + 8);
  return earlierMinimum(low, high);
}

}  // namespace

__attribute__((target("avx512bw"))) std::uint8_t nearestByDifferenceAvx512(
    const PlanarPalette& palette, PackedColour colour) {
  constexpr int kLanes = 32;
  const __m512i red = _mm512_set1_epi16(scaledChannel(colour, 0));
  const __m512i green = _mm512_set1_epi16(scaledChannel(colour, 1));
  const __m512i blue = _mm512_set1_epi16(scaledChannel(colour, 2));
  __m512i best = _mm512_set1_epi16(INT16_MAX);
  for (int chunk = 0; chunk < kEntryCount / kLanes; ++chunk) {
    const int first = chunk * kLanes;
    const __m512i r = _mm512_load_si512(palette.red + first);
    const __m512i g = _mm512_load_si512(palette.green + first);
    const __m512i b = _mm512_load_si512(palette.blue + first);
    __m512i key = _mm512_add_epi16(_mm512_abs_epi16(_mm512_sub_epi16(red, r)),
                                   _mm512_abs_epi16(_mm512_sub_epi16(green, g)));
    key = _mm512_add_epi16(key, _mm512_abs_epi16(_mm512_sub_epi16(blue, b)));
    key = _mm512_add_epi16(key, _mm512_set1_epi16(static_cast<std::int16_t>(chunk)));
    best = _mm512_min_epu16(best, key);
  }
  const LaneMinimum low = minimumOf16(_mm512_maskz_extracti64x4_epi64(0xFF, best, 0), 0);
  const LaneMinimum high = minimumOf16(_mm512_maskz_extracti64x4_epi64(0xFF, best, 1), 16);
  return entryOf(earlierMinimum(low, high), kLanes);
}

}  // namespace tintrod::mip

#endif
