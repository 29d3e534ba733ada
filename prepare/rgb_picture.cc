#include "prepare/rgb_picture.h"

#include <cstdlib>
#include <new>

namespace tintrod {
namespace {

constexpr std::size_t kLargePicture = std::size_t{2} << 20;

}  // namespace

PixelBytes::PixelBytes(std::size_t size) {
  // A decoded picture of megabytes is written once, page by page: in huge
  // pages that is a few faults instead of one every 4 KiB.
  if (size >= kLargePicture) {
    if (!large_.allocate(size, os::LargeBuffer::Content::kZeroed)) throw std::bad_alloc();
    size_ = size;
    return;
  }
  // calloc: the zeroed pages of a large block cost nothing until written.
  auto* bytes = static_cast<std::uint8_t*>(std::calloc(size == 0 ? 1 : size, 1));
  if (bytes == nullptr) throw std::bad_alloc();
  bytes_ = {bytes, std::free};
  size_ = size;
}

PixelBytes PixelBytes::adopt(std::uint8_t* bytes, std::size_t size, Release release) {
  PixelBytes adopted;
  adopted.bytes_ = {bytes, release};
  adopted.size_ = size;
  return adopted;
}

}  // namespace tintrod
