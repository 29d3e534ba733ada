// Palettes and palette-indexed images for checking and timing the mip level
// generator.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <vector>

namespace tintrod::testing {

using Palette = std::array<std::uint8_t, 768>;  // red, green, blue per entry
using Indices = std::vector<std::uint8_t>;

// Every entry an independent random colour.
Palette randomPalette(std::mt19937& random);
// `colourCount` random colours, the remaining entries zero as a loaded bitmap
// leaves them.
Palette fewColourPalette(std::mt19937& random, int colourCount);
// Entries drawn from a handful of colours, so most colours repeat.
Palette duplicatePalette(std::mt19937& random);
// Channels on a coarse grid: many averages lie equally far from several entries.
Palette latticePalette(std::mt19937& random);

// `count` indices drawn uniformly from 0 to colourCount - 1.
Indices randomIndices(std::mt19937& random, std::size_t count, int colourCount = 256);

struct IndexedImage {
  Palette palette{};
  Indices indices;
};

// A smooth picture of soft gradients and waves, reduced to 256 colours by
// median cut and mapped to the nearest of them, as an image editor would.
IndexedImage smoothPicture(int width, int height);

}  // namespace tintrod::testing
