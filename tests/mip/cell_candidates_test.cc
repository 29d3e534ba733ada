// The cell search against the plain scan at the corners of every cell, where
// the bound that picks a cell's candidates is tightest.
#include "mip/cell_candidates.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/support/mip_images.h"

namespace tintrod::mip {
namespace {

using testing::Palette;

struct PaletteCase {
  std::string name;
  Palette palette;
};

TEST(CellCandidates, EveryCellCornerMatchesThePlainScan) {
  if (!CellCandidates::supported()) GTEST_SKIP() << "no vector search on this processor";
  std::mt19937 random(4242);
  const PaletteCase cases[] = {{"random", testing::randomPalette(random)},
                               {"duplicates", testing::duplicatePalette(random)},
                               {"lattice", testing::latticePalette(random)},
                               {"few colours", testing::fewColourPalette(random, 12)}};
  CellCandidates cells;
  for (const PaletteCase& c : cases) {
    PlanarPalette planar;
    layOutPalette(c.palette.data(), planar);
    cells.reset(planar);
    int mismatches = 0;
    for (int cell = 0; cell < kCellCount; ++cell) {
      for (int corner = 0; corner < 8; ++corner) {
        int channels[3];
        for (int k = 0; k < 3; ++k) {
          const int low = (cell >> (kCellPlaceBits * (2 - k)) & (kCellsPerChannel - 1)) * kCellSide;
          channels[k] = corner >> k & 1 ? low + kCellSide - 1 : low;
        }
        const PackedColour colour = packColour(channels[0], channels[1], channels[2]);
        if (cells.nearest(colour, nearestByDifferencePortable) !=
            nearestByDifferencePortable(planar, colour)) {
          ++mismatches;
        }
      }
    }
    EXPECT_EQ(mismatches, 0) << c.name;
  }
}

}  // namespace
}  // namespace tintrod::mip
