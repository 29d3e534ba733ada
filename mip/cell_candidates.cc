#include "mip/cell_candidates.h"

#include "mip/square_average.h"

#include <algorithm>
#include <iterator>

#ifdef TINTROD_MIP_X86
#include <immintrin.h>
#endif

namespace tintrod::mip {

void CellCandidates::reset(const PlanarPalette& palette) {
  palette_ = &palette;
  std::fill(std::begin(placeOfCell_), std::end(placeOfCell_), kUnknown);
  cells_.clear();
  // Room for every cell at once: growing would copy the cells and touch fresh
  // pages each time, while untouched room costs nothing.
  cells_.reserve(kCellCount);
}

#ifdef TINTROD_MIP_X86

bool CellCandidates::supported() { return __builtin_cpu_init(), __builtin_cpu_supports("avx2"); }

namespace {

// How many chunks around the cell's middle sum bound its reach.
constexpr int kReachChunks = 5;

struct CellBounds {
  __m256i low[3];
  __m256i high[3];
};

__attribute__((target("avx2"))) inline __m256i lanesOf(const std::uint16_t* channel, int first) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(channel + first));
}

__attribute__((target("avx2"))) inline __m256i farthestInChannel(__m256i value, __m256i low,
                                                                 __m256i high) {
  return _mm256_max_epi16(_mm256_sub_epi16(value, low), _mm256_sub_epi16(high, value));
}

__attribute__((target("avx2"))) inline __m256i nearestInChannel(__m256i value, __m256i low,
                                                                __m256i high) {
  return _mm256_add_epi16(_mm256_subs_epu16(low, value), _mm256_subs_epu16(value, high));
}

// The largest (or with nearestInChannel the smallest) distance from each
// entry of a chunk to any colour of the cell.
template <__m256i (*InChannel)(__m256i, __m256i, __m256i)>
__attribute__((target("avx2"))) inline __m256i distanceToCell(const SumOrderedPalette& ordered,
                                                              int first, const CellBounds& cell) {
  const __m256i red = InChannel(lanesOf(ordered.red, first), cell.low[0], cell.high[0]);
  const __m256i green = InChannel(lanesOf(ordered.green, first), cell.low[1], cell.high[1]);
  const __m256i blue = InChannel(lanesOf(ordered.blue, first), cell.low[2], cell.high[2]);
  return _mm256_add_epi16(_mm256_add_epi16(red, green), blue);
}

__attribute__((target("avx2"))) inline int smallestLane(__m256i values) {
  const __m128i halves =
      _mm_min_epu16(_mm256_castsi256_si128(values), _mm256_extracti128_si256(values, 1));
  return _mm_cvtsi128_si32(_mm_minpos_epu16(halves)) & 0xFFFF;
}

}  // namespace

// Every colour of the cell lies within `reach` of some entry, the one whose
// farthest colour of the cell is nearest; so an entry further than `reach`
// from the whole cell is never the nearest to any of its colours.
__attribute__((target("avx2"))) std::uint16_t CellCandidates::findCandidates(int cell) {
  const SumOrderedPalette& ordered = palette_->bySum;
  CellBounds bounds;
  for (int c = 0; c < 3; ++c) {
    const int low = (cell >> (kCellShift * (2 - c)) & (kCellsPerChannel - 1)) << kCellShift;
    bounds.low[c] = _mm256_set1_epi16(static_cast<std::int16_t>(low));
    bounds.high[c] = _mm256_set1_epi16(static_cast<std::int16_t>(low + kCellSide - 1));
  }
  const int lowestSum = ((cell >> 8) + (cell >> 4 & 15) + (cell & 15)) * kCellSide;
  const int highestSum = lowestSum + 3 * (kCellSide - 1);
  // Any entry's farthest distance bounds the reach; the entries that give the
  // smallest lie near the cell's middle, and so near its sum.
  const int middle = ordered.chunkAtSum[(lowestSum + highestSum) / 2];
  __m256i reaches = _mm256_set1_epi16(INT16_MAX);
  for (int chunk = std::max(middle - kReachChunks / 2, 0);
       chunk <= std::min(middle + kReachChunks / 2, kSumChunks - 1); ++chunk) {
    reaches = _mm256_min_epu16(
        reaches, distanceToCell<farthestInChannel>(ordered, chunk * kSumChunkLanes, bounds));
  }
  const int reach = smallestLane(reaches);
  // Keys saturate there; a cell this far from the palette is searched in full.
  if (reach >= kSaturatedDistance) return kSearchedInFull;
  const __m256i limit = _mm256_set1_epi16(static_cast<std::int16_t>(reach));
  // A candidate's sum is within `reach` of the cell's sums, too.
  const int fromChunk = ordered.chunkAtSum[std::max(lowestSum - reach, 0)];
  const int toChunk = highestSum + reach < kSumCount - 1
                          ? ordered.chunkAtSum[highestSum + reach + 1]
                          : kSumChunks - 1;
  Cell found{};  // holds one candidate at least: the entry that sets the reach
  int count = 0;
  for (int first = fromChunk * kSumChunkLanes; first <= toChunk * kSumChunkLanes;
       first += kSumChunkLanes) {
    const __m256i beyond =
        _mm256_cmpgt_epi16(distanceToCell<nearestInChannel>(ordered, first, bounds), limit);
    // Two mask bits per 16-bit lane.
    auto within = static_cast<std::uint32_t>(~_mm256_movemask_epi8(beyond));
    for (; within != 0; within &= within - 1, within &= within - 1) {
      if (count == kCellLanes) return kSearchedInFull;
      const int j = first + __builtin_ctz(within) / 2;
      found.red[count] = static_cast<std::uint8_t>(ordered.red[j]);
      found.green[count] = static_cast<std::uint8_t>(ordered.green[j]);
      found.blue[count] = static_cast<std::uint8_t>(ordered.blue[j]);
      found.index[count] = static_cast<std::uint8_t>(ordered.index[j]);
      ++count;
    }
  }
  for (int lane = count; lane < kCellLanes; ++lane) {
    found.red[lane] = found.red[0];
    found.green[lane] = found.green[0];
    found.blue[lane] = found.blue[0];
    found.index[lane] = found.index[0];
  }
  cells_.push_back(found);
  return static_cast<std::uint16_t>(kFirstCell + cells_.size() - 1);
}

namespace {

__attribute__((target("avx2"))) inline __m256i difference(int target, const std::uint8_t* lanes) {
  const __m256i values =
      _mm256_cvtepu8_epi16(_mm_load_si128(reinterpret_cast<const __m128i*>(lanes)));
  return _mm256_abs_epi16(
      _mm256_sub_epi16(_mm256_set1_epi16(static_cast<std::int16_t>(target)), values));
}

__attribute__((target("avx2"))) inline std::uint8_t smallestIndex(__m256i distance,
                                                                  const std::uint8_t* indices) {
  distance = _mm256_min_epu16(distance, _mm256_set1_epi16(kSaturatedDistance));
  const __m256i index =
      _mm256_cvtepu8_epi16(_mm_load_si128(reinterpret_cast<const __m128i*>(indices)));
  return static_cast<std::uint8_t>(
      smallestLane(_mm256_or_si256(_mm256_slli_epi16(distance, 8), index)) & 0xFF);
}

int cellOf(PackedColour colour) {
  return static_cast<int>((colour >> 12 & 0xF00) | (colour >> 8 & 0xF0) | (colour >> 4 & 0xF));
}

}  // namespace

__attribute__((target("avx2"))) inline std::uint8_t CellCandidates::nearestCandidate(
    const Cell& candidates, PackedColour colour) {
  __m256i distance = _mm256_add_epi16(difference(channelOf(colour, 0), candidates.red),
                                      difference(channelOf(colour, 1), candidates.green));
  distance = _mm256_add_epi16(distance, difference(channelOf(colour, 2), candidates.blue));
  return smallestIndex(distance, candidates.index);
}

std::uint8_t CellCandidates::nearest(PackedColour colour, NearestEntryFinder fallback) {
  const int cell = cellOf(colour);
  if (placeOfCell_[cell] == kUnknown) placeOfCell_[cell] = findCandidates(cell);
  if (placeOfCell_[cell] < kFirstCell) return fallback(*palette_, colour);
  return nearestCandidate(cells_[placeOfCell_[cell] - kFirstCell], colour);
}

__attribute__((target("avx2"))) void CellCandidates::halve(std::uint8_t* level, std::int32_t width,
                                                           std::int32_t height,
                                                           NearestEntryFinder fallback) {
  const std::int32_t rows = height >> 1;
  const std::int32_t cols = width >> 1;
  if (rows <= 0 || cols <= 0) return;
  std::uint8_t* destination = level + static_cast<std::ptrdiff_t>(width) * height;
  PackedColour lastColour = UINT32_MAX;
  std::uint8_t lastEntry = 0;
  for (std::int32_t y = 0; y < rows; ++y) {
    const std::uint8_t* top = level + static_cast<std::ptrdiff_t>(2 * y) * width;
    const std::uint8_t* bottom = top + width;
    std::uint8_t* out = destination + static_cast<std::ptrdiff_t>(y) * cols;
    for (std::ptrdiff_t x = 0; x < cols; ++x) {
      const PackedColour average = averageOfSquare(palette_->spread, top + 2 * x, bottom + 2 * x);
      if (average != lastColour) {
        const int cell = cellOf(average);
        const std::uint16_t place = placeOfCell_[cell];
        lastEntry = place >= kFirstCell ? nearestCandidate(cells_[place - kFirstCell], average)
                                        : nearest(average, fallback);
        lastColour = average;
      }
      out[x] = lastEntry;
    }
  }
}

#else

bool CellCandidates::supported() { return false; }

std::uint16_t CellCandidates::findCandidates(int) { return kSearchedInFull; }

std::uint8_t CellCandidates::nearest(PackedColour colour, NearestEntryFinder fallback) {
  return fallback(*palette_, colour);
}

// Without the vector search every square goes to the fallback.
void CellCandidates::halve(std::uint8_t* level, std::int32_t width, std::int32_t height,
                           NearestEntryFinder fallback) {
  const std::int32_t cols = width >> 1;
  std::uint8_t* destination = level + static_cast<std::ptrdiff_t>(width) * height;
  for (std::int32_t y = 0; y < (height >> 1); ++y) {
    const std::uint8_t* top = level + static_cast<std::ptrdiff_t>(2 * y) * width;
    for (std::ptrdiff_t x = 0; x < cols; ++x) {
      destination[y * cols + x] =
          fallback(*palette_, averageOfSquare(palette_->spread, top + 2 * x, top + width + 2 * x));
    }
  }
}

#endif

}  // namespace tintrod::mip
