// Pixels for drawing: a palette-indexed level as red, green, blue, alpha.
#pragma once

#include <cstdint>
#include <vector>

#include "template/texture_record.h"

namespace tintrod::web {

// width * height * 4 bytes, rows top to bottom as a picture is drawn: the
// level's first row, the bottom of the picture, comes last. Every pixel is
// opaque. `palette` is 256 red-green-blue entries.
std::vector<std::uint8_t> rgbaOfLevel(const PixelLevel& level, const std::uint8_t* palette);

}  // namespace tintrod::web
