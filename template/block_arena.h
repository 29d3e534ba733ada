// A bump allocator for the materialised texture table: heap blocks of 2048
// payload bytes carved front to back, a block of its own for anything larger,
// and nothing returned before releaseAll.
#pragma once

#include <cstdint>
#include <vector>

namespace tintrod {

class BlockArena {
 public:
  static constexpr std::uint32_t kStandardPayload = 2048;
  // Requests of 2^31 bytes or more are refused: table sizes are signed words.
  static constexpr std::uint32_t kMaxRequest = 0x7FFFFFFF;

  // One block as tests see it, head first.
  struct BlockSummary {
    const std::uint8_t* payload;
    std::uint32_t bytesFree;
  };

  BlockArena() = default;
  ~BlockArena() { releaseAll(); }
  BlockArena(const BlockArena&) = delete;
  BlockArena& operator=(const BlockArena&) = delete;

  // Null for 0 bytes, for a refused request and when the heap has nothing;
  // the content is undefined. No alignment is promised.
  std::uint8_t* allocate(std::uint32_t count);
  std::uint8_t* allocateZeroed(std::uint32_t count);
  void releaseAll();

  std::uint32_t headBytesFree() const;
  std::vector<BlockSummary> chain() const;

 private:
  // The header sits in front of the payload in the same heap allocation.
  struct ArenaBlock {
    ArenaBlock* link;
    std::uint8_t* cursor;
    std::uint32_t bytesFree;
  };

  static ArenaBlock* makeBlock(std::uint32_t payloadSize, std::uint32_t bytesFree);
  static std::uint8_t* payloadOf(ArenaBlock* block);
  static std::uint8_t* carve(ArenaBlock* block, std::uint32_t count);

  ArenaBlock* head_ = nullptr;
};

}  // namespace tintrod
