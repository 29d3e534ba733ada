// A cache of candidate entries per cell of the colour cube, for searching
// many colours against one palette: an averaged colour lies in one cell of
// 16 x 16 x 16 colours, and only the few entries that can be nearest to some
// colour of that cell need comparing. A cell's candidates are found on its
// first search and kept until the palette changes.
//
// Cells are found in two steps: a coarse cell of 32 x 32 x 32 colours finds
// its candidates among the whole palette, and each of its eight cells among
// the coarse cell's candidates alone, which costs a fraction of a palette.
// When a coarse cell's candidates fit in one cell, its eight cells share them.
#pragma once

#include <cstdint>
#include <memory>

#include "mip/nearest_by_difference.h"

namespace tintrod::mip {

inline constexpr int kCellShift = 4;
inline constexpr int kCellSide = 1 << kCellShift;
inline constexpr int kCellsPerChannel = (kChannelMax + 1) / kCellSide;
// A cell's number holds its place along red, green and blue in this many
// bits each, red's highest.
inline constexpr int kCellPlaceBits = 8 - kCellShift;
inline constexpr int kCellCount = kCellsPerChannel * kCellsPerChannel * kCellsPerChannel;
// One vector of bytes: on random palettes no cell has more.
inline constexpr int kCellLanes = 32;

inline constexpr int kCoarseShift = kCellShift + 1;
inline constexpr int kCoarsePerChannel = kCellsPerChannel / 2;
inline constexpr int kCoarsePlaceBits = 8 - kCoarseShift;
inline constexpr int kCoarseCount = kCoarsePerChannel * kCoarsePerChannel * kCoarsePerChannel;
inline constexpr int kCoarseLanes = 64;

class CellCandidates {
 public:
  // Whether this processor runs the cell search; without it, search directly.
  static bool supported();

  // Forgets every cell, for the next palette.
  void reset(const PlanarPalette& palette);

  // Builds the level behind `level` as buildMipLevel does; cells with more
  // candidates than kCellLanes, or whose colours may all lie far from every
  // entry, ask `fallback`.
  void halve(std::uint8_t* level, std::int32_t width, std::int32_t height,
             NearestByDifference fallback);

  // One colour's search, as halve makes it for each square.
  std::uint8_t nearest(PackedColour colour, NearestByDifference fallback);

  // Candidates as they are gathered, each entry packed as in
  // SumOrderedPalette: `Capacity` of them, and room behind them for the eight
  // that one step may write past the end.
  template <int Capacity>
  struct Candidates {
    alignas(32) std::uint32_t entries[Capacity + 8];
    int count;
  };

 private:
  // A cell's candidates, unused lanes repeating the first.
  struct Cell {
    alignas(64) std::uint8_t red[kCellLanes];
    std::uint8_t green[kCellLanes];
    std::uint8_t blue[kCellLanes];
    std::uint8_t index[kCellLanes];
  };
  struct CoarseCell : Candidates<kCoarseLanes> {
    // With no more candidates than a cell holds, its cells all share one,
    // kept at this place; the search costs the same for any count up to there.
    std::uint16_t sharedCell;
  };

  // What placeOfCell_ holds: kUnknown; kSearchedInFull; or kFirstCell plus
  // the cell's place in cells_.
  static constexpr std::uint16_t kUnknown = 0;
  static constexpr std::uint16_t kSearchedInFull = 1;
  static constexpr std::uint16_t kFirstCell = 2;
  // And placeOfCoarse_: kUnknown; kTooMany, when its cells search the palette;
  // or kFirstCell plus its place in coarse_.
  static constexpr std::uint16_t kTooMany = 1;

  std::uint16_t findCandidates(int cell);
  CoarseCell* coarseCandidates(int coarse);
  template <int Capacity>
  std::uint16_t keep(const Candidates<Capacity>& found);
  static std::uint8_t nearestCandidate(const Cell& candidates, PackedColour colour);

  const PlanarPalette* palette_ = nullptr;
  std::uint16_t placeOfCell_[kCellCount] = {};
  std::uint16_t placeOfCoarse_[kCoarseCount] = {};
  // Room for every cell at once, left uninitialised (make_unique would zero
  // it): each cell is written whole before it is read, and untouched room
  // costs nothing. Kept between palettes, so that its memory is touched once
  // per process.
  std::unique_ptr<Cell[]> cells_{new Cell[kCellCount]};
  std::unique_ptr<CoarseCell[]> coarse_{new CoarseCell[kCoarseCount]};
  int cellsKept_ = 0;
  int coarseKept_ = 0;
};

}  // namespace tintrod::mip
