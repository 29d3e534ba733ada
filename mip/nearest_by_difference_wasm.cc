#include "mip/nearest_by_difference.h"

#ifdef TINTROD_MIP_WASM_SIMD
#include <wasm_simd128.h>

namespace tintrod::mip {

// The SSE4.1 search in WebAssembly's 128-bit vectors, which every current
// browser runs: eight 16-bit lanes, keys as kKeyScale describes.
std::uint8_t nearestByDifferenceWasmSimd(const PlanarPalette& palette, PackedColour colour) {
  constexpr int kLanes = 8;
  const v128_t red = wasm_i16x8_splat(scaledChannel(colour, 0));
  const v128_t green = wasm_i16x8_splat(scaledChannel(colour, 1));
  const v128_t blue = wasm_i16x8_splat(scaledChannel(colour, 2));
  v128_t best = wasm_i16x8_splat(INT16_MAX);
  for (int chunk = 0; chunk < kEntryCount / kLanes; ++chunk) {
    const int first = chunk * kLanes;
    const v128_t r = wasm_v128_load(palette.red + first);
    const v128_t g = wasm_v128_load(palette.green + first);
    const v128_t b = wasm_v128_load(palette.blue + first);
    v128_t key = wasm_i16x8_add(wasm_i16x8_abs(wasm_i16x8_sub(red, r)),
                                wasm_i16x8_abs(wasm_i16x8_sub(green, g)));
    key = wasm_i16x8_add(key, wasm_i16x8_abs(wasm_i16x8_sub(blue, b)));
    key = wasm_i16x8_add(key, wasm_i16x8_splat(static_cast<std::int16_t>(chunk)));
    best = wasm_u16x8_min(best, key);
  }
  alignas(16) std::uint16_t keys[kLanes];
  wasm_v128_store(keys, best);
  // Equal keys share a chunk, so the lowest lane is the lowest entry.
  int bestLane = 0;
  for (int lane = 1; lane < kLanes; ++lane) {
    if (keys[lane] < keys[bestLane]) bestLane = lane;
  }
  return static_cast<std::uint8_t>((keys[bestLane] % kKeyScale) * kLanes + bestLane);
}

}  // namespace tintrod::mip

#endif
