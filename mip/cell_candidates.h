// A cache of candidate entries per cell of the colour cube, for searching
// many colours against one palette: an averaged colour lies in one cell of
// 16 x 16 x 16 colours, and only the few entries that can be nearest to some
// colour of that cell need comparing. A cell's candidates are found on its
// first search and kept until the palette changes.
#pragma once

#include <cstdint>
#include <vector>

#include "mip/nearest_entry.h"

namespace tintrod::mip {

inline constexpr int kCellShift = 4;
inline constexpr int kCellSide = 1 << kCellShift;
inline constexpr int kCellsPerChannel = (kChannelMax + 1) / kCellSide;
inline constexpr int kCellCount = kCellsPerChannel * kCellsPerChannel * kCellsPerChannel;
inline constexpr int kCellLanes = 16;

class CellCandidates {
 public:
  // Whether this processor runs the cell search; without it, search directly.
  static bool supported();

  // Forgets every cell, for the next palette.
  void reset(const PlanarPalette& palette);

  // Builds the level behind `level` as buildMipLevel does; cells with more
  // candidates than one vector holds, or whose colours may all lie far from
  // every entry, ask `fallback`.
  void halve(std::uint8_t* level, std::int32_t width, std::int32_t height,
             NearestEntryFinder fallback);

  // One colour's search, as halve makes it for each square.
  std::uint8_t nearest(PackedColour colour, NearestEntryFinder fallback);

 private:
  // Up to kCellLanes candidates of one cell, unused lanes repeating the first.
  struct Cell {
    alignas(64) std::uint8_t red[kCellLanes];
    std::uint8_t green[kCellLanes];
    std::uint8_t blue[kCellLanes];
    std::uint8_t index[kCellLanes];
  };
  static constexpr std::uint16_t kUnknown = 0;
  static constexpr std::uint16_t kSearchedInFull = 1;
  static constexpr std::uint16_t kFirstCell = 2;

  std::uint16_t findCandidates(int cell);
  static std::uint8_t nearestCandidate(const Cell& candidates, PackedColour colour);

  const PlanarPalette* palette_ = nullptr;
  // Per cell: kUnknown; kSearchedInFull when it has too many candidates or lies
  // too far from the palette; or kFirstCell plus its place in cells_.
  std::uint16_t placeOfCell_[kCellCount] = {};
  // Kept between palettes, so that its memory is touched once per process.
  std::vector<Cell> cells_;
};

}  // namespace tintrod::mip
