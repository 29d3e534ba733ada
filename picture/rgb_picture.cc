#include "picture/rgb_picture.h"

#include <cstdlib>
#include <new>

namespace tintrod {
namespace {

constexpr std::size_t kLargePicture = std::size_t{2} << 20;

}  // namespace

PixelBytes::PixelBytes(std::size_t size, os::LargeBuffer::Content content) {
  // A decoded picture of megabytes is written once, page by page: in huge
  // pages that is a few faults instead of one every 4 KiB.
  if (size >= kLargePicture) {
    if (!large_.allocate(size, content)) throw std::bad_alloc();
    size_ = size;
    return;
  }
  // calloc: the zeroed pages of a large block cost nothing until written.
  const std::size_t held = size == 0 ? 1 : size;
  auto* bytes = static_cast<std::uint8_t*>(
      content == os::LargeBuffer::Content::kZeroed ? std::calloc(held, 1) : std::malloc(held));
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
