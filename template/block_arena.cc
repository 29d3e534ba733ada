#include "template/block_arena.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace tintrod {

BlockArena::ArenaBlock* BlockArena::makeBlock(std::uint32_t payloadSize, std::uint32_t bytesFree) {
  void* memory = std::malloc(sizeof(ArenaBlock) + payloadSize);
  if (memory == nullptr) return nullptr;
  auto* block = new (memory) ArenaBlock{nullptr, nullptr, bytesFree};
  block->cursor = payloadOf(block);
  return block;
}

std::uint8_t* BlockArena::payloadOf(ArenaBlock* block) {
  return reinterpret_cast<std::uint8_t*>(block + 1);
}

std::uint8_t* BlockArena::carve(ArenaBlock* block, std::uint32_t count) {
  std::uint8_t* start = block->cursor;
  block->cursor += count;
  block->bytesFree -= count;
  return start;
}

std::uint8_t* BlockArena::allocate(std::uint32_t count) {
  if (count == 0 || count > kMaxRequest) return nullptr;
  if (head_ != nullptr && head_->bytesFree >= count) return carve(head_, count);

  if (count > kStandardPayload) {
    // A large block serves its one request and nothing else, so it goes behind
    // the head and leaves the head's free space for the small requests to come.
    ArenaBlock* large = makeBlock(count, 0);
    if (large == nullptr) return nullptr;
    if (head_ == nullptr) {
      head_ = large;
    } else {
      large->link = head_->link;
      head_->link = large;
    }
    return payloadOf(large);
  }

  ArenaBlock* standard = makeBlock(kStandardPayload, kStandardPayload);
  if (standard == nullptr) return nullptr;
  standard->link = head_;
  head_ = standard;
  return carve(standard, count);
}

std::uint8_t* BlockArena::allocateZeroed(std::uint32_t count) {
  std::uint8_t* memory = allocate(count);
  if (memory != nullptr) std::memset(memory, 0, count);
  return memory;
}

void BlockArena::releaseAll() {
  while (head_ != nullptr) {
    ArenaBlock* released = head_;
    head_ = released->link;
    std::free(released);
  }
}

std::uint32_t BlockArena::headBytesFree() const { return head_ != nullptr ? head_->bytesFree : 0; }

std::vector<BlockArena::BlockSummary> BlockArena::chain() const {
  std::vector<BlockSummary> blocks;
  for (ArenaBlock* block = head_; block != nullptr; block = block->link) {
    blocks.push_back({payloadOf(block), block->bytesFree});
  }
  return blocks;
}

}  // namespace tintrod
