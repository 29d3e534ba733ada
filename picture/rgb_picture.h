// An opaque picture between decoding and quantizing: red, green, blue at 8
// bits per channel. The bytes may be the decoder's own buffer, taken over
// rather than copied, since at the largest pictures a second copy is what
// would not fit.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "os/large_buffer.h"

namespace tintrod {

// A run of bytes from malloc or from a decoder's allocator, freed by the
// function that goes with it.
class PixelBytes {
 public:
  using Release = void (*)(void*);

  PixelBytes() = default;
  // `size` bytes, zeroed unless whoever asks writes every one before any is
  // read; throws std::bad_alloc when they cannot be held.
  explicit PixelBytes(std::size_t size,
                      os::LargeBuffer::Content content = os::LargeBuffer::Content::kZeroed);
  // Takes over `bytes`, which `release` frees.
  static PixelBytes adopt(std::uint8_t* bytes, std::size_t size, Release release);

  std::uint8_t* data() { return large_.empty() ? bytes_.get() : large_.get(); }
  const std::uint8_t* data() const { return large_.empty() ? bytes_.get() : large_.get(); }
  std::size_t size() const { return size_; }
  std::uint8_t& operator[](std::size_t i) { return data()[i]; }
  std::uint8_t operator[](std::size_t i) const { return data()[i]; }
  std::uint8_t* begin() { return data(); }
  std::uint8_t* end() { return data() + size_; }
  const std::uint8_t* begin() const { return data(); }
  const std::uint8_t* end() const { return data() + size_; }

 private:
  std::unique_ptr<std::uint8_t, Release> bytes_{nullptr, nullptr};
  os::LargeBuffer large_;  // a picture of megabytes, in huge pages where there are
  std::size_t size_ = 0;
};

struct RgbPicture {
  int width = 0;
  int height = 0;
  // 3 channels per pixel, rows top to bottom.
  PixelBytes channels;
};

// Red, green, blue, 8 bits each: a colour as the user names it.
using Colour = std::array<std::uint8_t, 3>;

inline constexpr int kRgbChannels = 3;

}  // namespace tintrod
