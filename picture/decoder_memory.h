// The memory a decoding library may hold while it decodes one picture. The
// library allocates through decoderAllocate and its kin; a budget in scope on
// the thread caps the bytes it holds at once, so that no file makes it hold
// more than the picture it declares needs, whatever its compressed data
// inflates to.
#pragma once

#include <cstddef>

namespace tintrod {

class DecoderMemoryBudget {
 public:
  explicit DecoderMemoryBudget(std::size_t bytes);
  ~DecoderMemoryBudget();
  DecoderMemoryBudget(const DecoderMemoryBudget&) = delete;
  DecoderMemoryBudget& operator=(const DecoderMemoryBudget&) = delete;

  // A request would have gone past the budget and was refused: the file
  // holds more than its picture needs.
  bool exceeded() const { return exceeded_; }
  // The system refused a request within the budget: the machine cannot hold
  // the picture.
  bool exhausted() const { return exhausted_; }

 private:
  friend void* decoderAllocate(std::size_t bytes);
  friend void* decoderReallocate(void* block, std::size_t bytes);
  friend void decoderFree(void* block);

  std::size_t limit_;
  std::size_t held_ = 0;
  bool exceeded_ = false;
  bool exhausted_ = false;
  DecoderMemoryBudget* outer_;
};

// malloc, realloc and free, counted against the budget in scope (none: no cap).
void* decoderAllocate(std::size_t bytes);
void* decoderReallocate(void* block, std::size_t bytes);
void decoderFree(void* block);

}  // namespace tintrod
