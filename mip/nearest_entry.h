// Finding the palette entry nearest to a colour: the one inner search of the
// mip level generator, in a portable form and in vector forms that are picked
// at run time by what the processor offers.
#pragma once

#include <cstdint>
#include <span>

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

// A colour as 0x00RRGGBB: one register to pass, one compare to tell apart.
using PackedColour = std::uint32_t;

constexpr PackedColour packColour(int red, int green, int blue) {
  return static_cast<PackedColour>(red << 16 | green << 8 | blue);
}

// Channel 0 is red, 1 green, 2 blue; the value comes times kKeyScale.
constexpr std::int16_t scaledChannel(PackedColour colour, int channel) {
  return static_cast<std::int16_t>((colour >> (16 - 8 * channel) & 0xFF) * kKeyScale);
}

// The palette as one array per channel, each value already times kKeyScale so
// a lane's distance comes out scaled and the chunk only needs adding.
struct PlanarPalette {
  alignas(64) std::uint16_t red[kEntryCount];
  alignas(64) std::uint16_t green[kEntryCount];
  alignas(64) std::uint16_t blue[kEntryCount];
};

void layOutPalette(const std::uint8_t* palette, PlanarPalette& planar);

// Returns the lowest index among the entries nearest to `colour` by the sum of
// the channels' absolute differences.
using NearestEntryFinder = std::uint8_t (*)(const PlanarPalette& palette, PackedColour colour);

struct NearestEntryVariant {
  const char* name;
  NearestEntryFinder find;
  bool (*supported)();
};

// Every variant built into this binary, fastest first; the portable one is
// last and always supported.
std::span<const NearestEntryVariant> nearestEntryVariants();

// The fastest variant this processor runs, chosen once.
NearestEntryFinder fastestNearestEntryFinder();

std::uint8_t nearestEntryPortable(const PlanarPalette& palette, PackedColour colour);

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define TINTROD_MIP_X86 1
std::uint8_t nearestEntrySse41(const PlanarPalette& palette, PackedColour colour);
std::uint8_t nearestEntryAvx2(const PlanarPalette& palette, PackedColour colour);
std::uint8_t nearestEntryAvx512(const PlanarPalette& palette, PackedColour colour);
#endif

#if defined(__wasm_simd128__)
#define TINTROD_MIP_WASM_SIMD 1
std::uint8_t nearestEntryWasmSimd(const PlanarPalette& palette, PackedColour colour);
#endif

}  // namespace tintrod::mip
