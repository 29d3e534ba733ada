#include "mip/cell_candidates.h"

#include "mip/halve_level.h"

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
// Entries in a vector of packed entries.
constexpr int kWordLanes = 8;

// The colours of a cell or a coarse cell: each channel from low to high, as
// packed entries whose index byte is left out of every distance.
struct Box {
  __m256i low;
  __m256i high;
  int lowestSum;
  int highestSum;
};

// `number` counts boxes of 2^shift colours a side, red in its highest bits.
__attribute__((target("avx2"))) Box boxOf(int number, int shift) {
  const int bits = 8 - shift;  // of the box's place along one channel
  std::uint32_t low = 0;
  int lowestSum = 0;
  for (int c = 0; c < 3; ++c) {
    const int channelLow = (number >> (bits * (2 - c)) & ((1 << bits) - 1)) << shift;
    low |= static_cast<std::uint32_t>(channelLow) << (8 * c);
    lowestSum += channelLow;
  }
  const std::uint32_t side = (1U << shift) - 1;
  const std::uint32_t high = low + (side | side << 8 | side << 16);
  return {_mm256_set1_epi32(static_cast<int>(low)), _mm256_set1_epi32(static_cast<int>(high)),
          lowestSum, lowestSum + 3 * static_cast<int>(side)};
}

// Each word's red, green and blue bytes added up; its index byte weighs nothing.
__attribute__((target("avx2"))) inline __m256i sumOfChannels(__m256i bytes) {
  const __m256i pairs = _mm256_maddubs_epi16(bytes, _mm256_set1_epi32(0x00010101));
  return _mm256_madd_epi16(pairs, _mm256_set1_epi16(1));
}

// From each of eight entries to the nearest colour of the box.
__attribute__((target("avx2"))) inline __m256i nearestDistance(__m256i entries, const Box& box) {
  return sumOfChannels(
      _mm256_or_si256(_mm256_subs_epu8(box.low, entries), _mm256_subs_epu8(entries, box.high)));
}

// From each of eight entries to the farthest colour of the box.
__attribute__((target("avx2"))) inline __m256i farthestDistance(__m256i entries, const Box& box) {
  return sumOfChannels(
      _mm256_max_epu8(_mm256_subs_epu8(entries, box.low), _mm256_subs_epu8(box.high, entries)));
}

__attribute__((target("avx2"))) inline __m256i loadEntries(const std::uint32_t* entries) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(entries));
}

__attribute__((target("avx2"))) inline void storeLanes(std::uint8_t* to, __m256i lanes) {
  _mm256_store_si256(reinterpret_cast<__m256i*>(to), lanes);
}

__attribute__((target("avx2"))) inline __m256i wordLaneNumbers() {
  return _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
}

__attribute__((target("avx2"))) inline int smallestWord(__m256i words) {
  __m128i least = _mm_min_epu32(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
  least = _mm_min_epu32(least, _mm_shuffle_epi32(least, _MM_SHUFFLE(1, 0, 3, 2)));
  least = _mm_min_epu32(least, _mm_shuffle_epi32(least, _MM_SHUFFLE(2, 3, 0, 1)));
  return _mm_cvtsi128_si32(least);
}

// For each set of eight lanes, the lanes in order, four bits each: the word
// permutation that brings them to the front.
constexpr auto kToFront = [] {
  std::array<std::uint32_t, 256> table{};
  for (unsigned lanes = 0; lanes < 256; ++lanes) {
    int next = 0;
    for (std::uint32_t lane = 0; lane < 8; ++lane) {
      if ((lanes >> lane & 1) != 0) table[lanes] |= lane << (4 * next++);
    }
  }
  return table;
}();

// Appends the entries that `chosen` names to the `held` ones already in
// `to`; returns how many it holds then, or -1 once more than Capacity.
template <int Capacity>
__attribute__((target("avx2"))) inline int append(__m256i entries, unsigned chosen,
                                                  CellCandidates::Candidates<Capacity>& to,
                                                  int held) {
  const __m256i order = _mm256_srlv_epi32(_mm256_set1_epi32(static_cast<int>(kToFront[chosen])),
                                          _mm256_setr_epi32(0, 4, 8, 12, 16, 20, 24, 28));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(to.entries + held),
                      _mm256_permutevar8x32_epi32(entries, order));
  held += std::popcount(chosen);
  return held > Capacity ? -1 : held;
}

// Every colour of the box lies within `reach` of some entry, the one whose
// farthest colour of the box is nearest; so an entry further than `reach`
// from the whole box is never the nearest to any of its colours. A reach of
// kSaturatedDistance or more is refused: keys saturate there.
template <int Capacity>
__attribute__((target("avx2"))) inline bool gatherWithin(const std::uint32_t* from, int firstLane,
                                                         int endLane, const Box& box, int reach,
                                                         CellCandidates::Candidates<Capacity>& to) {
  if (reach >= kSaturatedDistance) return false;
  const __m256i limit = _mm256_set1_epi32(reach);
  int held = 0;
  for (int first = firstLane; first < endLane; first += kWordLanes) {
    const __m256i entries = loadEntries(from + first);
    const __m256i valid = _mm256_cmpgt_epi32(_mm256_set1_epi32(endLane - first), wordLaneNumbers());
    const __m256i within =
        _mm256_andnot_si256(_mm256_cmpgt_epi32(nearestDistance(entries, box), limit), valid);
    held = append(entries, static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(within))),
                  to, held);
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
  // Any entry's farthest distance bounds the reach; the entries that give the
  // smallest lie near the box's middle, and so near its sum.
  const int middle = ordered.chunkAtSum[(box.lowestSum + box.highestSum) / 2];
  __m256i reaches = _mm256_set1_epi32(-1);
  for (int first = std::max(middle - kReachChunks / 2, 0) * kSumChunkLanes;
       first < (std::min(middle + kReachChunks / 2, kSumChunks - 1) + 1) * kSumChunkLanes;
       first += kWordLanes) {
    reaches = _mm256_min_epu32(reaches, farthestDistance(loadEntries(ordered.packed + first), box));
  }
  const int reach = smallestWord(reaches);  // at most 765: every box is within the cube
  const int fromChunk = ordered.chunkAtSum[std::max(box.lowestSum - reach, 0)];
  const int toChunk = box.highestSum + reach < kSumCount - 1
                          ? ordered.chunkAtSum[box.highestSum + reach + 1]
                          : kSumChunks - 1;
  return gatherWithin(ordered.packed, fromChunk * kSumChunkLanes, (toChunk + 1) * kSumChunkLanes,
                      box, reach, to);
}

// The box's candidates among those of a coarse cell around it: an entry that
// may be nearest to a colour of the box may be nearest to that colour of the
// coarse cell too, so it is among them.
template <int Capacity, int FromCapacity>
__attribute__((target("avx2"))) bool gatherFromCoarse(
    const CellCandidates::Candidates<FromCapacity>& coarse, const Box& box,
    CellCandidates::Candidates<Capacity>& to) {
  __m256i reaches = _mm256_set1_epi32(-1);
  for (int first = 0; first < coarse.count; first += kWordLanes) {
    const __m256i unused =
        _mm256_cmpgt_epi32(wordLaneNumbers(), _mm256_set1_epi32(coarse.count - first - 1));
    reaches = _mm256_min_epu32(
        reaches,
        _mm256_or_si256(farthestDistance(loadEntries(coarse.entries + first), box), unused));
  }
  return gatherWithin(coarse.entries, 0, coarse.count, box, smallestWord(reaches), to);
}

// The number of the box of 2^shift colours a side that holds the colour.
constexpr int boxNumberOf(PackedColour colour, int shift) {
  const int bits = 8 - shift;
  int number = 0;
  for (int c = 0; c < 3; ++c) number = number << bits | channelOf(colour, c) >> shift;
  return number;
}

constexpr int cellOf(PackedColour colour) { return boxNumberOf(colour, kCellShift); }

// Along each channel the coarse cell's place is the cell's, less the bits
// that tell the cells of one coarse cell apart.
constexpr int coarseOf(int cell) {
  int coarse = 0;
  for (int c = 0; c < 3; ++c) {
    const int place = cell >> (kCellPlaceBits * (2 - c)) & (kCellsPerChannel - 1);
    coarse = coarse << kCoarsePlaceBits | place >> (kCoarseShift - kCellShift);
  }
  return coarse;
}

// Whatever the shifts: a colour's cell lies in the coarse cell that holds the
// colour, and white's are the last of each.
constexpr PackedColour kSomeColour = packColour(200, 100, 37);
static_assert(coarseOf(cellOf(kSomeColour)) == boxNumberOf(kSomeColour, kCoarseShift));
static_assert(cellOf(packColour(255, 255, 255)) == kCellCount - 1);
static_assert(coarseOf(kCellCount - 1) == kCoarseCount - 1);

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

// Lays the first kCellLanes entries out as a cell, one vector per channel;
// lanes past the count repeat the first entry.
template <int Capacity>
__attribute__((target("avx2"))) std::uint16_t CellCandidates::keep(
    const Candidates<Capacity>& found) {
  static_assert(Capacity >= kCellLanes);
  // In each half of a vector of four entries, the bytes by channel: four
  // words of red, green, blue and index; then those words paired across the
  // halves, so that each eighth of a vector is one channel of eight entries.
  const __m256i byChannel = _mm256_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15,
                                             0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
  const __m256i pairedHalves = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
  const __m256i padding = _mm256_set1_epi32(static_cast<int>(found.entries[0]));
  __m256i eights[kCellLanes / kWordLanes];
  for (int k = 0; k < kCellLanes / kWordLanes; ++k) {
    const __m256i used =
        _mm256_cmpgt_epi32(_mm256_set1_epi32(found.count - k * kWordLanes), wordLaneNumbers());
    const __m256i entries =
        _mm256_blendv_epi8(padding, loadEntries(found.entries + k * kWordLanes), used);
    eights[k] = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(entries, byChannel), pairedHalves);
  }
  // Eights of red and blue, then of green and index, from two vectors each.
  const __m256i redBlueLow = _mm256_unpacklo_epi64(eights[0], eights[1]);
  const __m256i redBlueHigh = _mm256_unpacklo_epi64(eights[2], eights[3]);
  const __m256i greenIndexLow = _mm256_unpackhi_epi64(eights[0], eights[1]);
  const __m256i greenIndexHigh = _mm256_unpackhi_epi64(eights[2], eights[3]);
  Cell& kept = cells_[cellsKept_];
  storeLanes(kept.red, _mm256_permute2x128_si256(redBlueLow, redBlueHigh, 0x20));
  storeLanes(kept.blue, _mm256_permute2x128_si256(redBlueLow, redBlueHigh, 0x31));
  storeLanes(kept.green, _mm256_permute2x128_si256(greenIndexLow, greenIndexHigh, 0x20));
  storeLanes(kept.index, _mm256_permute2x128_si256(greenIndexLow, greenIndexHigh, 0x31));
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

__attribute__((target("avx2"))) inline int smallestLane(__m256i values) {
  const __m128i halves =
      _mm_min_epu16(_mm256_castsi256_si128(values), _mm256_extracti128_si256(values, 1));
  return _mm_cvtsi128_si32(_mm_minpos_epu16(halves)) & 0xFFFF;
}

__attribute__((target("avx2"))) inline __m256i loadLanes(const std::uint8_t* lanes) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(lanes));
}

__attribute__((target("avx2"))) inline __m256i difference(__m256i target,
                                                          const std::uint8_t* lanes) {
  const __m256i values = loadLanes(lanes);
  return _mm256_or_si256(_mm256_subs_epu8(target, values), _mm256_subs_epu8(values, target));
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

std::uint8_t CellCandidates::nearest(PackedColour colour, NearestByDifference fallback) {
  const int cell = cellOf(colour);
  if (placeOfCell_[cell] == kUnknown) placeOfCell_[cell] = findCandidates(cell);
  const std::uint16_t place = placeOfCell_[cell];
  if (place < kFirstCell) return fallback(*palette_, colour);
  return nearestCandidate(cells_[place - kFirstCell], colour);
}

// The lambda carries the target itself: a lambda does not inherit it from the
// function around it, and without it the cell search could not inline.
__attribute__((target("avx2"))) void CellCandidates::halve(std::uint8_t* level, std::int32_t width,
                                                           std::int32_t height,
                                                           NearestByDifference fallback) {
  const auto search = [&](PackedColour colour) __attribute__((target("avx2"))) {
    const std::uint16_t place = placeOfCell_[cellOf(colour)];
    return place >= kFirstCell ? nearestCandidate(cells_[place - kFirstCell], colour)
                               : nearest(colour, fallback);
  };
  halveLevel(palette_->spread, level, width, height, search);
}

#else

bool CellCandidates::supported() { return false; }

std::uint16_t CellCandidates::findCandidates(int) { return kSearchedInFull; }

std::uint8_t CellCandidates::nearest(PackedColour colour, NearestByDifference fallback) {
  return fallback(*palette_, colour);
}

// Without the vector search every square goes to the fallback.
void CellCandidates::halve(std::uint8_t* level, std::int32_t width, std::int32_t height,
                           NearestByDifference fallback) {
  halveLevel(palette_->spread, level, width, height,
             [&](PackedColour colour) { return fallback(*palette_, colour); });
}

#endif

}  // namespace tintrod::mip
