#include "tests/support/template_builder.h"

#include <stdexcept>

#include "template/format.h"
#include "util/coding.h"

namespace tintrod::testing {
namespace {

// A small linear congruential generator: the same seed gives the same bytes
// on every platform.
class ByteSource {
 public:
  explicit ByteSource(std::uint32_t seed) : state_(seed * 2654435761u + 1) {}
  std::uint8_t next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<std::uint8_t>(state_ >> 24);
  }

 private:
  std::uint32_t state_;
};

}  // namespace

TexturePlan makeTexture(const std::string& name, std::uint16_t width, std::uint16_t height,
                        std::uint32_t seed) {
  ByteSource source(seed);
  TexturePlan texture;
  texture.name = name;
  texture.width = width;
  texture.height = height;
  texture.carried = source.next();
  for (auto& byte : texture.palette) byte = source.next();
  texture.pixels.resize(static_cast<std::size_t>(pixelBlockLength(width, height)));
  for (auto& byte : texture.pixels) byte = source.next();
  return texture;
}

void putWord(Bytes& bytes, std::size_t offset, std::int32_t value) {
  if (offset + 4 > bytes.size()) throw std::out_of_range("word past the end of the bytes");
  encodeSigned32(bytes.data() + offset, value);
}

}  // namespace tintrod::testing
