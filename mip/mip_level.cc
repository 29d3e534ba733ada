#include "mip/mip_level.h"

#include <cstddef>

#include "mip/cell_candidates.h"
#include "mip/square_average.h"

namespace tintrod {
namespace mip {
namespace {

constexpr PackedColour kNoColour = UINT32_MAX;  // packed colours use 24 bits

// Below this many squares in the larger level, finding each cell's
// candidates costs about what it saves: on noise, the 4,096 squares of a
// 128 x 128 texture fall into about 1,000 cells, and the cells take a fifth
// off its levels' time.
constexpr std::int64_t kCellsPayFrom = 4096;

template <typename Search>
void halve(Search search, const PlanarPalette& palette, std::uint8_t* level, std::int32_t width,
           std::int32_t height) {
  const std::int32_t rows = height >> 1;
  const std::int32_t cols = width >> 1;
  if (rows <= 0 || cols <= 0) return;
  std::uint8_t* destination = level + static_cast<std::ptrdiff_t>(width) * height;
  // The nearest entry depends on the averaged colour alone, and neighbouring
  // squares of flat or smooth areas often share it: reuse the last answer.
  PackedColour lastColour = kNoColour;
  std::uint8_t lastEntry = 0;
  for (std::int32_t y = 0; y < rows; ++y) {
    const std::uint8_t* top = level + static_cast<std::ptrdiff_t>(2 * y) * width;
    const std::uint8_t* bottom = top + width;
    std::uint8_t* out = destination + static_cast<std::ptrdiff_t>(y) * cols;
    for (std::ptrdiff_t x = 0; x < cols; ++x) {
      const PackedColour average = averageOfSquare(palette.spread, top + 2 * x, bottom + 2 * x);
      if (average != lastColour) {
        lastEntry = search(average);
        lastColour = average;
      }
      out[x] = lastEntry;
    }
  }
}

// One table for the whole process: its memory is touched once, not once per
// texture.
CellCandidates& sharedCells() {
  thread_local CellCandidates cells;
  return cells;
}

// Builds `levels` levels one after the other, each from the one before.
void halveRepeatedly(NearestEntryFinder findNearest, const PlanarPalette& palette,
                     std::uint8_t* level, std::int32_t width, std::int32_t height, int levels) {
  const bool cellsPay = static_cast<std::int64_t>(width >> 1) * (height >> 1) >= kCellsPayFrom &&
                        CellCandidates::supported();
  CellCandidates* cells = cellsPay ? &sharedCells() : nullptr;
  if (cells != nullptr) cells->reset(palette);
  for (int i = 0; i < levels; ++i) {
    if (cells != nullptr) {
      cells->halve(level, width, height, findNearest);
    } else {
      halve([&](PackedColour colour) { return findNearest(palette, colour); }, palette, level,
            width, height);
    }
    level += static_cast<std::ptrdiff_t>(width) * height;
    width /= 2;
    height /= 2;
  }
}

}  // namespace

void buildMipLevelWith(NearestEntryFinder findNearest, std::uint8_t* level, std::int32_t width,
                       std::int32_t height, const std::uint8_t* palette) {
  PlanarPalette laidOut;
  layOutPalette(palette, laidOut);
  halve([&](PackedColour colour) { return findNearest(laidOut, colour); }, laidOut, level, width,
        height);
}

}  // namespace mip

namespace {

void buildLevels(std::uint8_t* block, std::int32_t width, std::int32_t height,
                 const std::uint8_t* palette, int levels) {
  mip::PlanarPalette laidOut;
  mip::layOutPalette(palette, laidOut);
  mip::halveRepeatedly(mip::fastestNearestEntryFinder(), laidOut, block, width, height, levels);
}

}  // namespace

void buildMipLevel(std::uint8_t* level, std::int32_t width, std::int32_t height,
                   const std::uint8_t* palette) {
  buildLevels(level, width, height, palette, 1);
}

void buildSmallerLevels(std::uint8_t* block, std::int32_t width, std::int32_t height,
                        const std::uint8_t* palette) {
  buildLevels(block, width, height, palette, 2);
}

}  // namespace tintrod
