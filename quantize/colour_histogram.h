// The distinct colours of a picture, how often each occurs, and which one each
// pixel holds: the quantizer works on the colours and maps pixels at the end.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "util/packed_colour.h"

namespace tintrod::quantize {

struct ColourHistogram {
  // Ascending, each colour once.
  std::vector<PackedColour> colours;
  // Pixels of each colour, parallel to `colours`.
  std::vector<std::uint32_t> counts;
  // For each pixel, its colour's position in `colours`.
  std::vector<std::uint32_t> colourOfPixel;
};

// `rgb` holds whole pixels as red, green, blue bytes.
ColourHistogram buildHistogram(std::span<const std::uint8_t> rgb);

}  // namespace tintrod::quantize
