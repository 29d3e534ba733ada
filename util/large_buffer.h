// Memory for one large buffer: the column data of a table, or the room its
// records are built in. Where the platform offers huge pages, a buffer of
// several megabytes is placed in them: touching fresh memory a 4 KiB page at
// a time costs more than reading the file into it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tintrod {

class LargeBuffer {
 public:
  LargeBuffer() = default;
  ~LargeBuffer();
  LargeBuffer(const LargeBuffer&) = delete;
  LargeBuffer& operator=(const LargeBuffer&) = delete;

  // Replaces the buffer with one of `size` bytes of undefined content; false,
  // and no buffer, when the memory cannot be had.
  [[nodiscard]] bool allocate(std::size_t size);
  void release();

  std::uint8_t* get() const { return data_; }
  bool empty() const { return data_ == nullptr; }

 private:
  std::uint8_t* data_ = nullptr;
  void* mapping_ = nullptr;  // non-null when the buffer lives in its own mapping
  std::size_t mappingSize_ = 0;
};

}  // namespace tintrod
