// A level's palette indices as the colours they stand for: one drawing for
// the sheet and for the page's previews, which differ only in where the rows
// go and whether a pixel has an alpha byte.
#pragma once

#include <cstddef>
#include <cstdint>

#include "template/texture_record.h"

namespace tintrod {

// The level's stored row r starts at firstRow + r * rowStep, so a negative
// step turns the picture over. Each pixel is red, green, blue and, when
// bytesPerPixel is 4, an opaque alpha.
struct ColourTarget {
  std::uint8_t* firstRow;
  std::ptrdiff_t rowStep;
  int bytesPerPixel;
};

// An absent level draws nothing. `palette` is 256 red-green-blue entries.
void drawLevelColours(const PixelLevel& level, const std::uint8_t* palette,
                      const ColourTarget& target);

}  // namespace tintrod
