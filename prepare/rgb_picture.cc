#include "prepare/rgb_picture.h"

#include <cstdlib>
#include <new>

namespace tintrod {

PixelBytes::PixelBytes(std::size_t size) {
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
