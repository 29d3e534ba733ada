#include "template/level_colours.h"

#include <algorithm>

namespace tintrod {

void drawLevelColours(const PixelLevel& level, const std::uint8_t* palette,
                      const ColourTarget& target) {
  if (level.pixels == nullptr) return;
  constexpr std::ptrdiff_t kRgbSize = 3;
  constexpr std::uint8_t kOpaque = 255;
  const std::ptrdiff_t width = level.width;
  const bool withAlpha = target.bytesPerPixel == 4;
  for (std::ptrdiff_t row = 0; row < level.height; ++row) {
    const std::uint8_t* indices = level.pixels + row * width;
    std::uint8_t* out = target.firstRow + row * target.rowStep;
    for (std::ptrdiff_t x = 0; x < width; ++x, out += target.bytesPerPixel) {
      std::copy_n(palette + kRgbSize * indices[x], kRgbSize, out);
      if (withAlpha) out[kRgbSize] = kOpaque;
    }
  }
}

}  // namespace tintrod
