#include "template/block_arena.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace tintrod {
namespace {

constexpr std::uint32_t kBlock = BlockArena::kStandardPayload;

TEST(BlockArena, EmptyAndRefusedRequestsMakeNoBlock) {
  BlockArena arena;
  EXPECT_EQ(arena.allocate(0), nullptr);
  EXPECT_EQ(arena.allocateZeroed(0), nullptr);
  EXPECT_EQ(arena.allocate(0x80000000u), nullptr);
  EXPECT_EQ(arena.allocate(0xFFFFFFFFu), nullptr);
  EXPECT_TRUE(arena.chain().empty());
}

TEST(BlockArena, CarvesSmallRequestsBackToBack) {
  BlockArena arena;
  std::uint8_t* first = arena.allocate(10);
  ASSERT_EQ(arena.chain().size(), 1u);
  EXPECT_EQ(first, arena.chain()[0].payload);
  EXPECT_EQ(arena.headBytesFree(), kBlock - 10);
  EXPECT_EQ(arena.allocate(6), first + 10);
  EXPECT_EQ(arena.allocate(kBlock - 16), first + 16);  // exactly what is left
  EXPECT_EQ(arena.headBytesFree(), 0u);
  EXPECT_EQ(arena.chain().size(), 1u);
}

TEST(BlockArena, FullStandardBlockAndFirstLargeRequest) {
  BlockArena arena;
  std::uint8_t* whole = arena.allocate(kBlock);
  EXPECT_EQ(arena.headBytesFree(), 0u);
  std::uint8_t* large = arena.allocate(kBlock + 1);
  const auto chain = arena.chain();
  ASSERT_EQ(chain.size(), 2u);
  EXPECT_EQ(chain[0].payload, whole);
  EXPECT_EQ(chain[1].payload, large);
  EXPECT_EQ(chain[1].bytesFree, 0u);
}

TEST(BlockArena, LargeRequestGoesBehindTheHeadAndKeepsItsFreeSpace) {
  BlockArena arena;
  std::uint8_t* first = arena.allocate(10);
  std::uint8_t* large = arena.allocate(3000);
  std::uint8_t* larger = arena.allocate(5000);
  EXPECT_EQ(arena.allocate(100), first + 10);
  const auto chain = arena.chain();
  ASSERT_EQ(chain.size(), 3u);
  EXPECT_EQ(chain[0].payload, first);
  EXPECT_EQ(chain[0].bytesFree, kBlock - 110);
  EXPECT_EQ(chain[1].payload, larger);
  EXPECT_EQ(chain[2].payload, large);
}

TEST(BlockArena, RequestBeyondTheHeadStartsANewBlock) {
  BlockArena arena;
  arena.allocate(kBlock - 100);
  std::uint8_t* next = arena.allocate(200);
  const auto chain = arena.chain();
  ASSERT_EQ(chain.size(), 2u);
  EXPECT_EQ(chain[0].payload, next);
  EXPECT_EQ(chain[0].bytesFree, kBlock - 200);
  EXPECT_EQ(chain[1].bytesFree, 100u);  // abandoned for good
}

TEST(BlockArena, LargeBlockOnAnEmptyArenaBecomesAFullHead) {
  BlockArena arena;
  std::uint8_t* large = arena.allocate(4096);
  EXPECT_EQ(arena.headBytesFree(), 0u);
  std::uint8_t* small = arena.allocate(1);
  std::uint8_t* larger = arena.allocate(3000);
  const auto chain = arena.chain();
  ASSERT_EQ(chain.size(), 3u);
  EXPECT_EQ(chain[0].payload, small);
  EXPECT_EQ(chain[1].payload, larger);
  EXPECT_EQ(chain[2].payload, large);
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

TEST(BlockArena, ReleaseAllEmptiesTheChainForReuse) {
  BlockArena arena;
  arena.allocate(10);
  arena.allocate(3000);
  arena.releaseAll();
  EXPECT_TRUE(arena.chain().empty());
  EXPECT_EQ(arena.headBytesFree(), 0u);
  arena.allocate(5);
  EXPECT_EQ(arena.headBytesFree(), kBlock - 5);
  arena.releaseAll();
  arena.allocate(3000);
  ASSERT_EQ(arena.chain().size(), 1u);
  EXPECT_EQ(arena.headBytesFree(), 0u);
}

}  // namespace
}  // namespace tintrod
