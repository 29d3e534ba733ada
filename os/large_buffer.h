// Memory for one large buffer: a file read whole, a decoded picture, the
// column data of a table. Where the platform offers huge pages, a buffer of
// several megabytes is placed in them: touching fresh memory a 4 KiB page at
// a time costs more than reading the file into it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tintrod::os {

class LargeBuffer {
 public:
  enum class Content { kUndefined, kZeroed };

  LargeBuffer() = default;
  ~LargeBuffer();
  LargeBuffer(const LargeBuffer&) = delete;
  LargeBuffer& operator=(const LargeBuffer&) = delete;
  LargeBuffer(LargeBuffer&& other) noexcept;
  LargeBuffer& operator=(LargeBuffer&& other) noexcept;

  // Replaces the buffer with one of `size` bytes; false, and no buffer, when
  // the memory cannot be had. Zeroing costs nothing for fresh huge pages.
  [[nodiscard]] bool allocate(std::size_t size, Content content = Content::kUndefined);
  void release();

  std::uint8_t* get() const { return data_; }
  std::size_t size() const { return size_; }
  bool empty() const { return data_ == nullptr; }
  std::span<std::uint8_t> bytes() const { return {data_, size_}; }
  operator std::span<const std::uint8_t>() const { return {data_, size_}; }

 private:
  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  bool mapped_ = false;  // a large region of its own rather than heap memory
};

}  // namespace tintrod::os
