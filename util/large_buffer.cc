#include "util/large_buffer.h"

#include <new>

#include "os/os.h"

namespace tintrod {

LargeBuffer::~LargeBuffer() { release(); }

bool LargeBuffer::allocate(std::size_t size) {
  release();
  data_ = os::mapLargeRegion(size);
  if (data_ != nullptr) {
    regionSize_ = size;
    return true;
  }
  data_ = new (std::nothrow) std::uint8_t[size];
  return data_ != nullptr;
}

void LargeBuffer::release() {
  if (regionSize_ > 0) {
    os::releaseLargeRegion(data_, regionSize_);
    regionSize_ = 0;
  } else {
    delete[] data_;
  }
  data_ = nullptr;
}

}  // namespace tintrod
