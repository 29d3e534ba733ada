#include "mip/mip_level.h"

#include <cstddef>

#include "mip/cell_candidates.h"
#include "mip/halve_level.h"

namespace tintrod {
namespace mip {
namespace {

// Below this many squares in the larger level, finding each cell's
// candidates costs about what it saves: on noise, the 4,096 squares of a
// 128 x 128 texture fall into about 1,000 cells, and the cells take a fifth
// off its levels' time.
constexpr std::int64_t kCellsPayFrom = 4096;

// One table a thread, kept to the end of the process: its memory is touched
// once, not once per texture. Every program builds its levels on one thread,
// so that thread's table is the whole process's; a search on another thread
// gets a table of its own rather than one being filled under it.
CellCandidates& sharedCells() {
  thread_local CellCandidates cells;
  return cells;
}

// Builds `levels` levels one after the other, each from the one before.
void halveRepeatedly(NearestByDifference findNearest, const PlanarPalette& palette,
                     std::uint8_t* level, std::int32_t width, std::int32_t height, int levels) {
  const bool cellsPay = static_cast<std::int64_t>(width >> 1) * (height >> 1) >= kCellsPayFrom &&
                        CellCandidates::supported();
  CellCandidates* cells = cellsPay ? &sharedCells() : nullptr;
  if (cells != nullptr) cells->reset(palette);
  for (int i = 0; i < levels; ++i) {
    if (cells != nullptr) {
      cells->halve(level, width, height, findNearest);
    } else {
      halveLevel(palette.spread, level, width, height,
                 [&](PackedColour colour) { return findNearest(palette, colour); });
    }
    level += static_cast<std::ptrdiff_t>(width) * height;
    width /= 2;
    height /= 2;
  }
}

}  // namespace

void buildMipLevelWith(NearestByDifference findNearest, std::uint8_t* level, std::int32_t width,
                       std::int32_t height, const std::uint8_t* palette) {
  PlanarPalette laidOut;
  layOutPalette(palette, laidOut);
  halveLevel(laidOut.spread, level, width, height,
             [&](PackedColour colour) { return findNearest(laidOut, colour); });
}

}  // namespace mip

namespace {

void buildLevels(std::uint8_t* block, std::int32_t width, std::int32_t height,
                 const std::uint8_t* palette, int levels) {
  mip::PlanarPalette laidOut;
  mip::layOutPalette(palette, laidOut);
  mip::halveRepeatedly(mip::fastestNearestByDifference(), laidOut, block, width, height, levels);
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
