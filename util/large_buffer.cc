#include "util/large_buffer.h"

#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tintrod {
namespace {

#if defined(__linux__) && defined(MADV_HUGEPAGE)
constexpr std::size_t kHugePageSize = std::size_t{2} << 20;

std::size_t roundUp(std::size_t value, std::size_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

// A huge page is backed whole as soon as any byte of it is touched, so a
// short tail stays in small pages: it would cost more memory than faults.
std::size_t hugePageSpan(std::size_t size) {
  return (size + kHugePageSize / 2) / kHugePageSize * kHugePageSize;
}
#endif

}  // namespace

LargeBuffer::~LargeBuffer() { release(); }

bool LargeBuffer::allocate(std::size_t size) {
  release();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  if (size >= kHugePageSize) {
    // A spare huge page of address space lets the buffer start on a huge-page
    // boundary; the kernel backs only what is touched.
    const std::size_t mappingSize = roundUp(size, kHugePageSize) + kHugePageSize;
    void* mapping =
        mmap(nullptr, mappingSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping != MAP_FAILED) {
      const auto address = reinterpret_cast<std::uintptr_t>(mapping);
      data_ = static_cast<std::uint8_t*>(mapping) + (roundUp(address, kHugePageSize) - address);
      // Only a hint: without huge pages the buffer works the same, slower.
      madvise(data_, hugePageSpan(size), MADV_HUGEPAGE);
      mapping_ = mapping;
      mappingSize_ = mappingSize;
      return true;
    }
  }
#endif
  data_ = new (std::nothrow) std::uint8_t[size];
  return data_ != nullptr;
}

void LargeBuffer::release() {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  if (mapping_ != nullptr) {
    munmap(mapping_, mappingSize_);
    mapping_ = nullptr;
    mappingSize_ = 0;
    data_ = nullptr;
    return;
  }
#endif
  delete[] data_;
  data_ = nullptr;
}

}  // namespace tintrod
