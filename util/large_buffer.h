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
  std::size_t regionSize_ = 0;  // non-zero when the buffer is a large region of its own
};

}  // namespace tintrod
