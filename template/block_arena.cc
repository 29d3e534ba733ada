#include "template/block_arena.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace tintrod {

namespace {

constexpr std::size_t kHeaderAlignment = alignof(std::max_align_t);

std::size_t alignedSize(std::size_t bytes) {
  return (bytes + kHeaderAlignment - 1) / kHeaderAlignment * kHeaderAlignment;
}

}  // namespace

BlockArena::ArenaBlock* BlockArena::makeBlock(std::uint32_t payloadSize, std::uint32_t bytesFree) {
  const std::size_t size = sizeof(ArenaBlock) + payloadSize;
  void* memory = takeFromRoom(size);
  const bool inRoom = memory != nullptr;
  if (!inRoom) memory = std::malloc(size);
  if (memory == nullptr) return nullptr;
  auto* block = new (memory) ArenaBlock{nullptr, nullptr, bytesFree, inRoom};
  block->cursor = payloadOf(block);
  return block;
}

void* BlockArena::takeFromRoom(std::size_t bytes) {
  if (rooms_.empty()) return nullptr;
  Room& room = rooms_.back();
  // Every block starts where the heap would start it, so its header is aligned.
  const std::size_t taken = alignedSize(bytes);
  if (room.size - room.used < taken) return nullptr;
  void* memory = room.memory.get() + room.used;
  room.used += taken;
  return memory;
}

bool BlockArena::reserve(std::size_t payloadBytes, std::size_t requestCount) {
  // Every request may bring a header, and the last standard block its whole payload.
  const std::size_t perRequest = alignedSize(sizeof(ArenaBlock));
  constexpr std::size_t kLimit = std::numeric_limits<std::size_t>::max() / 4;
  if (payloadBytes > kLimit || requestCount > kLimit / perRequest) return false;
  const std::size_t size = payloadBytes + (requestCount + 1) * perRequest + kStandardPayload;

  Room& room = rooms_.emplace_back();
  if (!room.memory.allocate(size)) {
    rooms_.pop_back();
    return false;
  }
  room.size = size;
  return true;
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
    if (!released->inRoom) std::free(released);
  }
  rooms_.clear();
}

}  // namespace tintrod
