#include "mip/cell_candidates.h"

#include "mip/square_average.h"

#include <algorithm>
#include <array>
#include <bit>
#include <iterator>

#ifdef TINTROD_MIP_X86
#include <immintrin.h>
#endif

namespace tintrod::mip {

void CellCandidates::reset(const PlanarPalette& palette) {
  palette_ = &palette;
  std::fill(std::begin(placeOfCell_), std::end(placeOfCell_), kUnknown);
  std::fill(std::begin(placeOfCoarse_), std::end(placeOfCoarse_), kUnknown);
  cellsKept_ = 0;
  coarseKept_ = 0;
}

#ifdef TINTROD_MIP_X86

bool CellCandidates::supported() { return __builtin_cpu_init(), __builtin_cpu_supports("avx2"); }

namespace {

// How many chunks around a box's middle sum bound its reach.
constexpr int kReachChunks = 5;
constexpr int kVectorLanes = 16;

// The colours of a cell or a coarse cell: each channel from low to high.
struct Box {
  __m256i low[3];
  __m256i high[3];
  int lowestSum;
  int highestSum;
};

// Candidates read in place: the sum-ordered palette or a coarse cell's.
struct Lanes {
  const std::uint8_t* red;
  const std::uint8_t* green;
  const std::uint8_t* blue;
  const std::uint8_t* index;
};

template <typename Holder>
Lanes lanesOf(const Holder& holder) {
  return {holder.red, holder.green, holder.blue, holder.index};
}

// `number` counts boxes of 2^shift colours a side, red in its highest bits.
__attribute__((target("avx2"))) Box boxOf(int number, int shift) {
  const int bits = 8 - shift;  // of the box's place along one channel
  Box box;                     // every field set below; zeroing it first shows in the profile
  box.lowestSum = 0;
  for (int c = 0; c < 3; ++c) {
    const int low = (number >> (bits * (2 - c)) & ((1 << bits) - 1)) << shift;
    box.low[c] = _mm256_set1_epi16(static_cast<std::int16_t>(low));
    box.high[c] = _mm256_set1_epi16(static_cast<std::int16_t>(low + (1 << shift) - 1));
    box.lowestSum += low;
  }
  box.highestSum = box.lowestSum + 3 * ((1 << shift) - 1);
  return box;
}

__attribute__((target("avx2"))) inline __m256i widen(const std::uint8_t* lanes) {
  return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes)));
}

__attribute__((target("avx2"))) inline __m256i farthestInChannel(__m256i value, __m256i low,
                                                                 __m256i high) {
  return _mm256_max_epi16(_mm256_sub_epi16(value, low), _mm256_sub_epi16(high, value));
}

__attribute__((target("avx2"))) inline __m256i nearestInChannel(__m256i value, __m256i low,
                                                                __m256i high) {
  return _mm256_add_epi16(_mm256_subs_epu16(low, value), _mm256_subs_epu16(value, high));
}

// The largest (or with nearestInChannel the smallest) distance from each of
// sixteen candidates to any colour of the box.
template <__m256i (*InChannel)(__m256i, __m256i, __m256i)>
__attribute__((target("avx2"))) inline __m256i distanceToBox(const Lanes& from, int first,
                                                             const Box& box) {
  const __m256i red = InChannel(widen(from.red + first), box.low[0], box.high[0]);
  const __m256i green = InChannel(widen(from.green + first), box.low[1], box.high[1]);
  const __m256i blue = InChannel(widen(from.blue + first), box.low[2], box.high[2]);
  return _mm256_add_epi16(_mm256_add_epi16(red, green), blue);
}

__attribute__((target("avx2"))) inline int smallestLane(__m256i values) {
  const __m128i halves =
      _mm_min_epu16(_mm256_castsi256_si128(values), _mm256_extracti128_si256(values, 1));
  return _mm_cvtsi128_si32(_mm_minpos_epu16(halves)) & 0xFFFF;
}

// One bit per 16-bit lane that is all ones.
__attribute__((target("avx2"))) inline unsigned maskOf(__m256i lanes) {
  return static_cast<unsigned>(_mm_movemask_epi8(
      _mm_packs_epi16(_mm256_castsi256_si128(lanes), _mm256_extracti128_si256(lanes, 1))));
}

// For each set of eight lanes, the byte shuffle that brings them to the front.
constexpr auto kToFront = [] {
  std::array<std::array<std::uint8_t, 8>, 256> table{};
  for (unsigned lanes = 0; lanes < 256; ++lanes) {
    int next = 0;
    for (int lane = 0; lane < 8; ++lane) {
      if ((lanes >> lane & 1) != 0) table[lanes][next++] = static_cast<std::uint8_t>(lane);
    }
    for (; next < 8; ++next) table[lanes][next] = 0x80;  // shuffles in a zero
  }
  return table;
}();

__attribute__((target("avx2"))) inline void moveToFront(const std::uint8_t* from, __m128i shuffle,
                                                        std::uint8_t* to) {
  const __m128i lanes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(from));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(to), _mm_shuffle_epi8(lanes, shuffle));
}

// Appends the sixteen lanes from `first` that `chosen` names to the `held`
// lanes already in `to`; returns how many it holds then, or -1 once more
// than Capacity. Everything stays in registers: byte stores may alias any
// memory, so counts and pointers kept there would be reloaded after each.
template <int Capacity>
__attribute__((target("avx2"))) inline int append(Lanes from, int first, unsigned chosen,
                                                  CellCandidates::Candidates<Capacity>& to,
                                                  int held) {
  for (int half = 0; half < 2; ++half, first += 8, chosen >>= 8) {
    const unsigned eight = chosen & 0xFF;
    const __m128i shuffle =
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kToFront[eight].data()));
    moveToFront(from.red + first, shuffle, to.red + held);
    moveToFront(from.green + first, shuffle, to.green + held);
    moveToFront(from.blue + first, shuffle, to.blue + held);
    moveToFront(from.index + first, shuffle, to.index + held);
    held += std::popcount(eight);
    if (held > Capacity) return -1;
  }
  return held;
}

// Every colour of the box lies within `reach` of some entry, the one whose
// farthest colour of the box is nearest; so an entry further than `reach`
// from the whole box is never the nearest to any of its colours. A reach of
// kSaturatedDistance or more is refused: keys saturate there.
template <int Capacity>
__attribute__((target("avx2"))) inline bool gatherWithin(Lanes from, int firstLane, int endLane,
                                                         const Box& box, int reach,
                                                         CellCandidates::Candidates<Capacity>& to) {
  if (reach >= kSaturatedDistance) return false;
  const __m256i limit = _mm256_set1_epi16(static_cast<std::int16_t>(reach));
  const __m256i laneNumbers =
      _mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  int held = 0;
  for (int first = firstLane; first < endLane; first += kVectorLanes) {
    const __m256i valid = _mm256_cmpgt_epi16(
        _mm256_set1_epi16(static_cast<std::int16_t>(endLane - first)), laneNumbers);
    const __m256i beyond =
        _mm256_cmpgt_epi16(distanceToBox<nearestInChannel>(from, first, box), limit);
    held = append(from, first, maskOf(_mm256_andnot_si256(beyond, valid)), to, held);
    if (held < 0) return false;
  }
  to.count = held;
  return true;
}

// The box's candidates among the whole palette, searched only over the
// entries whose sums lie within reach of the box's sums.
template <int Capacity>
__attribute__((target("avx2"))) bool gatherFromPalette(const SumOrderedPalette& ordered,
                                                       const Box& box,
                                                       CellCandidates::Candidates<Capacity>& to) {
  const Lanes palette = lanesOf(ordered);
  // Any entry's farthest distance bounds the reach; the entries that give the
  // smallest lie near the box's middle, and so near its sum.
  const int middle = ordered.chunkAtSum[(box.lowestSum + box.highestSum) / 2];
  __m256i reaches = _mm256_set1_epi16(INT16_MAX);
  for (int chunk = std::max(middle - kReachChunks / 2, 0);
       chunk <= std::min(middle + kReachChunks / 2, kSumChunks - 1); ++chunk) {
    reaches = _mm256_min_epu16(
        reaches, distanceToBox<farthestInChannel>(palette, chunk * kSumChunkLanes, box));
  }
  const int reach = smallestLane(reaches);
  if (reach >= kSaturatedDistance) return false;
  const int fromChunk = ordered.chunkAtSum[std::max(box.lowestSum - reach, 0)];
  const int toChunk = box.highestSum + reach < kSumCount - 1
                          ? ordered.chunkAtSum[box.highestSum + reach + 1]
                          : kSumChunks - 1;
  return gatherWithin(palette, fromChunk * kSumChunkLanes, (toChunk + 1) * kSumChunkLanes, box,
                      reach, to);
}

// The box's candidates among those of a coarse cell around it: an entry that
// may be nearest to a colour of the box may be nearest to that colour of the
// coarse cell too, so it is among them.
template <int Capacity, int FromCapacity>
__attribute__((target("avx2"))) bool gatherFromCoarse(
    const CellCandidates::Candidates<FromCapacity>& coarse, const Box& box,
    CellCandidates::Candidates<Capacity>& to) {
  const Lanes from = lanesOf(coarse);
  const __m256i laneNumbers =
      _mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  __m256i reaches = _mm256_set1_epi16(-1);
  for (int first = 0; first < coarse.count; first += kVectorLanes) {
    const __m256i unused = _mm256_cmpgt_epi16(
        laneNumbers, _mm256_set1_epi16(static_cast<std::int16_t>(coarse.count - first - 1)));
    reaches = _mm256_min_epu16(
        reaches, _mm256_or_si256(distanceToBox<farthestInChannel>(from, first, box), unused));
  }
  return gatherWithin(from, 0, coarse.count, box, smallestLane(reaches), to);
}

// Lanes past `count` take lane 0's value.
__attribute__((target("avx2"))) inline void copyPadded(const std::uint8_t* from, int count,
                                                       std::uint8_t* to) {
  const __m256i laneNumbers =
      _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                       22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
  const __m256i used = _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(count)), laneNumbers);
  const __m256i lanes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
  const __m256i padding = _mm256_set1_epi8(static_cast<char>(from[0]));
  _mm256_store_si256(reinterpret_cast<__m256i*>(to), _mm256_blendv_epi8(padding, lanes, used));
}

int coarseOf(int cell) { return (cell >> 9 & 7) << 6 | (cell >> 5 & 7) << 3 | (cell >> 1 & 7); }

}  // namespace

__attribute__((target("avx2"))) CellCandidates::CoarseCell* CellCandidates::coarseCandidates(
    int coarse) {
  std::uint16_t& place = placeOfCoarse_[coarse];
  if (place == kUnknown) {
    CoarseCell& found = coarse_[coarseKept_];
    found.sharedCell = kUnknown;
    const bool fits = gatherFromPalette(palette_->bySum, boxOf(coarse, kCoarseShift), found);
    place = fits ? static_cast<std::uint16_t>(kFirstCell + coarseKept_++) : kTooMany;
  }
  return place >= kFirstCell ? &coarse_[place - kFirstCell] : nullptr;
}

template <typename Found>
__attribute__((target("avx2"))) std::uint16_t CellCandidates::keep(const Found& found) {
  Cell& kept = cells_[cellsKept_];
  copyPadded(found.red, found.count, kept.red);
  copyPadded(found.green, found.count, kept.green);
  copyPadded(found.blue, found.count, kept.blue);
  copyPadded(found.index, found.count, kept.index);
  return static_cast<std::uint16_t>(kFirstCell + cellsKept_++);
}

__attribute__((target("avx2"))) std::uint16_t CellCandidates::findCandidates(int cell) {
  CoarseCell* coarse = coarseCandidates(coarseOf(cell));
  if (coarse != nullptr && coarse->count <= kCellLanes) {
    if (coarse->sharedCell == kUnknown) coarse->sharedCell = keep(*coarse);
    return coarse->sharedCell;
  }
  const Box box = boxOf(cell, kCellShift);
  Candidates<kCellLanes> found;
  const bool fits = coarse != nullptr ? gatherFromCoarse(*coarse, box, found)
                                      : gatherFromPalette(palette_->bySum, box, found);
  return fits ? keep(found) : kSearchedInFull;
}

namespace {

__attribute__((target("avx2"))) inline __m256i loadLanes(const std::uint8_t* lanes) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(lanes));
}

__attribute__((target("avx2"))) inline __m256i difference(__m256i target,
                                                          const std::uint8_t* lanes) {
  const __m256i values = loadLanes(lanes);
  return _mm256_or_si256(_mm256_subs_epu8(target, values), _mm256_subs_epu8(values, target));
}

int cellOf(PackedColour colour) {
  return static_cast<int>((colour >> 12 & 0xF00) | (colour >> 8 & 0xF0) | (colour >> 4 & 0xF));
}

}  // namespace

// Byte lanes suffice: distances saturate at kSaturatedDistance, where no
// cell's nearest entry lies, and saturating adds keep the sum exact below it.
__attribute__((target("avx2"))) inline std::uint8_t CellCandidates::nearestCandidate(
    const Cell& candidates, PackedColour colour) {
  const __m256i packed = _mm256_set1_epi32(static_cast<int>(colour));
  const __m256i red = _mm256_shuffle_epi8(packed, _mm256_set1_epi8(2));
  const __m256i green = _mm256_shuffle_epi8(packed, _mm256_set1_epi8(1));
  const __m256i blue = _mm256_shuffle_epi8(packed, _mm256_setzero_si256());
  const __m256i distance = _mm256_adds_epu8(
      _mm256_adds_epu8(difference(red, candidates.red), difference(green, candidates.green)),
      difference(blue, candidates.blue));
  // Keys of distance above, index below: the smallest is the answer.
  const __m256i index = loadLanes(candidates.index);
  const __m256i keys = _mm256_min_epu16(_mm256_unpacklo_epi8(index, distance),
                                        _mm256_unpackhi_epi8(index, distance));
  return static_cast<std::uint8_t>(smallestLane(keys) & 0xFF);
}

std::uint8_t CellCandidates::nearest(PackedColour colour, NearestEntryFinder fallback) {
  const int cell = cellOf(colour);
  if (placeOfCell_[cell] == kUnknown) placeOfCell_[cell] = findCandidates(cell);
  const std::uint16_t place = placeOfCell_[cell];
  if (place < kFirstCell) return fallback(*palette_, colour);
  return nearestCandidate(cells_[place - kFirstCell], colour);
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
        const std::uint16_t place = placeOfCell_[cellOf(average)];
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
