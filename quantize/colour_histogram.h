// The distinct colours of a picture, how often each occurs, and which one each
// pixel holds: the quantizer works on the colours and maps pixels at the end.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tintrod::quantizer {

// A colour as 0x00RRGGBB, so that ordering colours is ordering integers.
using PackedColour = std::uint32_t;

constexpr int redOf(PackedColour colour) { return static_cast<int>(colour >> 16 & 0xFF); }
constexpr int greenOf(PackedColour colour) { return static_cast<int>(colour >> 8 & 0xFF); }
constexpr int blueOf(PackedColour colour) { return static_cast<int>(colour & 0xFF); }

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

}  // namespace tintrod::quantizer
