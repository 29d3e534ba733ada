#include "web/rgba_level.h"

#include <cstddef>

#include "template/level_colours.h"

namespace tintrod::web {

std::vector<std::uint8_t> rgbaOfLevel(const PixelLevel& level, const std::uint8_t* palette) {
  constexpr int kRgbaSize = 4;
  const std::ptrdiff_t rowSize = std::ptrdiff_t{level.width} * kRgbaSize;
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(rowSize * level.height));
  if (rgba.empty()) return rgba;
  // The level's first row is the picture's bottom: it goes last.
  drawLevelColours(level, palette,
                   {rgba.data() + rowSize * (level.height - 1), -rowSize, kRgbaSize});
  return rgba;
}

}  // namespace tintrod::web
