#include "template/block_arena.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace tintrod {
namespace {

constexpr std::uint32_t kBlock = BlockArena::kStandardPayload;

TEST(BlockArena, RefusesEmptyAndOversizedRequests) {
  BlockArena arena;
  EXPECT_EQ(arena.allocate(0), nullptr);
  EXPECT_EQ(arena.allocateZeroed(0), nullptr);
  EXPECT_EQ(arena.allocate(0x80000000u), nullptr);
  EXPECT_EQ(arena.allocate(0xFFFFFFFFu), nullptr);
}

TEST(BlockArena, CarvesSmallRequestsBackToBack) {
  BlockArena arena;
  std::uint8_t* first = arena.allocate(10);
  EXPECT_EQ(arena.allocate(6), first + 10);
  EXPECT_EQ(arena.allocate(kBlock - 16), first + 16);  // exactly what is left
}

TEST(BlockArena, LargeRequestGoesBehindTheHeadAndKeepsItsFreeSpace) {
  BlockArena arena;
  std::uint8_t* first = arena.allocate(10);
  ASSERT_NE(arena.allocate(3000), nullptr);
  ASSERT_NE(arena.allocate(5000), nullptr);
  EXPECT_EQ(arena.allocate(100), first + 10);
}

TEST(BlockArena, RequestBeyondTheHeadStartsANewBlock) {
  BlockArena arena;
  std::uint8_t* first = arena.allocate(kBlock - 100);
  std::uint8_t* next = arena.allocate(200);
  EXPECT_EQ(arena.allocate(kBlock - 200), next + 200);
  EXPECT_NE(arena.allocate(50), first + kBlock - 100);  // abandoned for good
}

TEST(BlockArena, LargeBlockOnAnEmptyArenaBecomesAFullHead) {
  BlockArena arena;
  std::uint8_t* large = arena.allocate(4096);
  std::memset(large, 0xAB, 4096);
  std::uint8_t* small = arena.allocate(1);
  *small = 0;
  EXPECT_EQ(std::count(large, large + 4096, 0xAB), 4096);
  ASSERT_NE(arena.allocate(3000), nullptr);
  EXPECT_EQ(arena.allocate(1), small + 1);
}

TEST(BlockArena, ZeroedMemorySitsBehindWrittenBytes) {
  BlockArena arena;
  std::uint8_t* written = arena.allocate(64);
  std::memset(written, 0xFF, 64);
  std::uint8_t* zeroed = arena.allocateZeroed(kBlock - 64);
  EXPECT_EQ(zeroed, written + 64);
  EXPECT_TRUE(std::all_of(zeroed, zeroed + kBlock - 64, [](std::uint8_t b) { return b == 0; }));
  std::uint8_t* large = arena.allocateZeroed(3 * kBlock);
  EXPECT_TRUE(std::all_of(large, large + 3 * kBlock, [](std::uint8_t b) { return b == 0; }));
}

TEST(BlockArena, ReleaseAllStartsAfresh) {
  BlockArena arena;
  arena.allocate(10);
  arena.allocate(3000);
  arena.releaseAll();
  std::uint8_t* fresh = arena.allocate(5);
  EXPECT_EQ(arena.allocate(kBlock - 5), fresh + 5);
}

// Runs one sequence of requests, stamps every answer with its own byte and
// checks afterwards that no answer overlapped another: a reserved room must
// carve the same blocks as the heap, and it must not hand out any byte twice.
// Returns, for each answer, the earlier answer it was carved right behind, or
// -1 for the first of a block.
std::vector<int> stampAndCheck(BlockArena& arena) {
  const std::uint32_t requests[] = {10, 3000, kBlock, 1, 5000, kBlock - 11, 700, 90000, 2, 2047};
  std::vector<std::pair<std::uint8_t*, std::uint32_t>> answers;
  for (std::uint32_t count : requests) {
    std::uint8_t* memory = arena.allocateZeroed(count);
    EXPECT_NE(memory, nullptr);
    if (memory == nullptr) return {};
    std::memset(memory, static_cast<int>(answers.size() + 1), count);
    answers.emplace_back(memory, count);
  }
  for (std::size_t i = 0; i < answers.size(); ++i) {
    const auto [memory, count] = answers[i];
    EXPECT_EQ(std::count(memory, memory + count, static_cast<std::uint8_t>(i + 1)), count) << i;
  }
  std::vector<int> carvedBehind(answers.size(), -1);
  for (std::size_t i = 0; i < answers.size(); ++i) {
    for (std::size_t earlier = 0; earlier < i; ++earlier) {
      const auto [memory, count] = answers[earlier];
      if (answers[i].first == memory + count) carvedBehind[i] = static_cast<int>(earlier);
    }
  }
  return carvedBehind;
}

TEST(BlockArena, ReservedRoomGivesTheSameBlocksAsTheHeap) {
  BlockArena heapOnly;
  const std::vector<int> expected = stampAndCheck(heapOnly);

  // A room for all, one used up halfway, and one far too small for anything.
  for (std::size_t payload : {std::size_t{200000}, std::size_t{8000}, std::size_t{0}}) {
    BlockArena arena;
    ASSERT_TRUE(arena.reserve(payload, 10)) << payload;
    EXPECT_EQ(stampAndCheck(arena), expected) << payload;
    // Released blocks from the room and the heap alike; a new room after that.
    arena.releaseAll();
    ASSERT_TRUE(arena.reserve(payload, 10));
    EXPECT_EQ(stampAndCheck(arena), expected) << payload;
  }
}

TEST(BlockArena, ImpossibleRoomIsRefusedAndTheHeapServes) {
  BlockArena arena;
  constexpr std::size_t kHuge = std::numeric_limits<std::size_t>::max();
  EXPECT_FALSE(arena.reserve(kHuge, 1));
  EXPECT_FALSE(arena.reserve(1, kHuge));
  BlockArena heapOnly;
  EXPECT_EQ(stampAndCheck(arena), stampAndCheck(heapOnly));
}

}  // namespace
}  // namespace tintrod
