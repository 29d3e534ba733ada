#include "web/rgba_level.h"

#include <cstddef>

namespace tintrod::web {

std::vector<std::uint8_t> rgbaOfLevel(const PixelLevel& level, const std::uint8_t* palette) {
  const auto width = static_cast<std::size_t>(level.width);
  const auto height = static_cast<std::size_t>(level.height);
  std::vector<std::uint8_t> rgba(width * height * 4);
  if (level.pixels == nullptr) return rgba;
  constexpr std::uint8_t kOpaque = 255;
  for (std::size_t row = 0; row < height; ++row) {
    const std::uint8_t* source = level.pixels + row * width;
    std::uint8_t* destination = rgba.data() + (height - 1 - row) * width * 4;
    for (std::size_t column = 0; column < width; ++column) {
      const std::uint8_t* entry = palette + 3 * std::size_t{source[column]};
      destination[4 * column] = entry[0];
      destination[4 * column + 1] = entry[1];
      destination[4 * column + 2] = entry[2];
      destination[4 * column + 3] = kOpaque;
    }
  }
  return rgba;
}

}  // namespace tintrod::web
