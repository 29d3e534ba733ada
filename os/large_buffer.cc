#include "os/large_buffer.h"

#include <new>
#include <utility>

#include "os/os.h"

namespace tintrod::os {

LargeBuffer::~LargeBuffer() { release(); }

LargeBuffer::LargeBuffer(LargeBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, false)) {}

LargeBuffer& LargeBuffer::operator=(LargeBuffer&& other) noexcept {
  if (this != &other) {
    release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    mapped_ = std::exchange(other.mapped_, false);
  }
  return *this;
}

bool LargeBuffer::allocate(std::size_t size, Content content) {
  release();
  // A fresh mapping reads as zeros until written.
  data_ = mapLargeRegion(size);
  mapped_ = data_ != nullptr;
  if (data_ == nullptr) {
    data_ = content == Content::kZeroed ? new (std::nothrow) std::uint8_t[size]()
                                        : new (std::nothrow) std::uint8_t[size];
  }
  if (data_ == nullptr) return false;
  size_ = size;
  return true;
}

void LargeBuffer::release() {
  if (mapped_) {
    releaseLargeRegion(data_, size_);
  } else {
    delete[] data_;
  }
  data_ = nullptr;
  size_ = 0;
  mapped_ = false;
}

}  // namespace tintrod::os
