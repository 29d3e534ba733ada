#include "mip/nearest_entry.h"

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

constexpr NearestEntryVariant kVariants[] = {
#ifdef TINTROD_MIP_X86
    {"avx512bw", nearestEntryAvx512, hasAvx512},
    {"avx2", nearestEntryAvx2, hasAvx2},
    {"sse4.1", nearestEntrySse41, hasSse41},
#elif defined(TINTROD_MIP_WASM_SIMD)
    {"wasm-simd128", nearestEntryWasmSimd, always},
#endif
    {"portable", nearestEntryPortable, always},
};

NearestEntryFinder pickFastest() {
  for (const NearestEntryVariant& variant : kVariants) {
    if (variant.supported()) return variant.find;
  }
  return nearestEntryPortable;
}

}  // namespace

void layOutPalette(const std::uint8_t* palette, PlanarPalette& planar) {
  for (std::size_t j = 0; j < kEntryCount; ++j) {
    planar.red[j] = static_cast<std::uint16_t>(palette[3 * j] * kKeyScale);
    planar.green[j] = static_cast<std::uint16_t>(palette[3 * j + 1] * kKeyScale);
    planar.blue[j] = static_cast<std::uint16_t>(palette[3 * j + 2] * kKeyScale);
  }
}

std::span<const NearestEntryVariant> nearestEntryVariants() { return kVariants; }

NearestEntryFinder fastestNearestEntryFinder() {
  static const NearestEntryFinder fastest = pickFastest();
  return fastest;
}

}  // namespace tintrod::mip
