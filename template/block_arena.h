// A bump allocator for the materialised texture table: blocks of 2048 payload
// bytes carved front to back, a block of its own for anything larger, and
// nothing returned before releaseAll. Blocks come from the heap, or from a
// room reserved ahead for a large table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>

#include "os/large_buffer.h"

namespace tintrod {

class BlockArena {
 public:
  static constexpr std::uint32_t kStandardPayload = 2048;
  // Requests of 2^31 bytes or more are refused: table sizes are signed words.
  static constexpr std::uint32_t kMaxRequest = 0x7FFFFFFF;

  BlockArena() = default;
  ~BlockArena() { releaseAll(); }
  BlockArena(const BlockArena&) = delete;
  BlockArena& operator=(const BlockArena&) = delete;

  // Null for 0 bytes, for a refused request and when the heap has nothing;
  // the content is undefined. No alignment is promised.
  std::uint8_t* allocate(std::uint32_t count);
  std::uint8_t* allocateZeroed(std::uint32_t count);
  void releaseAll();

  // Readies one piece of memory for about `requestCount` requests carrying
  // `payloadBytes` in all, and makes the blocks to come inside it until it is
  // used up. A table of megabytes then fills a few huge pages instead of
  // faulting in every small page of its own blocks. Only a hint: the blocks
  // are the same either way, and false means they keep coming from the heap.
  bool reserve(std::size_t payloadBytes, std::size_t requestCount);

 private:
  // The header sits in front of the payload in the same allocation.
  struct ArenaBlock {
    ArenaBlock* link;
    std::uint8_t* cursor;
    std::uint32_t bytesFree;
    bool inRoom;  // made inside a reserved room, not freed on its own
  };

  // Reserved memory that blocks are made in, front to back.
  struct Room {
    os::LargeBuffer memory;
    std::size_t size = 0;
    std::size_t used = 0;
  };

  ArenaBlock* makeBlock(std::uint32_t payloadSize, std::uint32_t bytesFree);
  void* takeFromRoom(std::size_t bytes);
  static std::uint8_t* payloadOf(ArenaBlock* block);
  static std::uint8_t* carve(ArenaBlock* block, std::uint32_t count);

  ArenaBlock* head_ = nullptr;
  std::list<Room> rooms_;  // the last one is the one in use
};

}  // namespace tintrod
