#include "picture/decoder_memory.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace tintrod {
namespace {

// Each block starts with its size, so that freeing it can give the bytes
// back; the header keeps the alignment malloc promises.
constexpr std::size_t kHeader = alignof(std::max_align_t);

thread_local DecoderMemoryBudget* current = nullptr;

std::size_t sizeOf(const void* block) {
  std::size_t size = 0;
  std::memcpy(&size, static_cast<const unsigned char*>(block) - kHeader, sizeof size);
  return size;
}

void* payloadOf(void* raw, std::size_t bytes) {
  std::memcpy(raw, &bytes, sizeof bytes);
  return static_cast<unsigned char*>(raw) + kHeader;
}

}  // namespace

DecoderMemoryBudget::DecoderMemoryBudget(std::size_t bytes) : limit_(bytes), outer_(current) {
  current = this;
}

DecoderMemoryBudget::~DecoderMemoryBudget() { current = outer_; }

void* decoderAllocate(std::size_t bytes) { return decoderReallocate(nullptr, bytes); }

void* decoderReallocate(void* block, std::size_t bytes) {
  const std::size_t old = block != nullptr ? sizeOf(block) : 0;
  DecoderMemoryBudget* budget = current;
  if (bytes > SIZE_MAX - kHeader) return nullptr;
  if (budget != nullptr && bytes > old && bytes - old > budget->limit_ - budget->held_) {
    budget->exceeded_ = true;
    return nullptr;
  }
  void* raw = std::realloc(
      block != nullptr ? static_cast<unsigned char*>(block) - kHeader : nullptr, bytes + kHeader);
  if (raw == nullptr) {
    if (budget != nullptr) budget->exhausted_ = true;
    return nullptr;
  }
  if (budget != nullptr) budget->held_ = budget->held_ - old + bytes;
  return payloadOf(raw, bytes);
}

void decoderFree(void* block) {
  if (block == nullptr) return;
  DecoderMemoryBudget* budget = current;
  if (budget != nullptr) budget->held_ -= std::min(budget->held_, sizeOf(block));
  std::free(static_cast<unsigned char*>(block) - kHeader);
}

}  // namespace tintrod
