#include "quantize/colour_histogram.h"

#include <cstddef>

#include "quantize/counting_sort.h"

namespace tintrod::quantize {
namespace {

// Pixel positions ordered by colour, one pass per channel from blue to red.
std::vector<std::uint32_t> pixelsByColour(const std::vector<PackedColour>& colourAt) {
  const std::size_t count = colourAt.size();
  std::vector<std::uint32_t> order(count);
  std::vector<std::uint32_t> scratch(count);
  for (std::size_t p = 0; p < count; ++p) order[p] = static_cast<std::uint32_t>(p);
  for (int shift = 0; shift < 24; shift += 8) {
    countingPass(order, scratch, [&colourAt, shift](std::uint32_t pixel) {
      return static_cast<std::uint8_t>(colourAt[pixel] >> shift);
    });
    order.swap(scratch);
  }
  return order;
}

}  // namespace

ColourHistogram buildHistogram(std::span<const std::uint8_t> rgb) {
  const std::size_t pixelCount = rgb.size() / 3;
  std::vector<PackedColour> colourAt(pixelCount);
  for (std::size_t p = 0; p < pixelCount; ++p) {
    colourAt[p] = packColour(rgb[3 * p], rgb[3 * p + 1], rgb[3 * p + 2]);
  }
  ColourHistogram histogram;
  // Room for every pixel's own colour, taken up only as far as it is used.
  histogram.colours.reserve(pixelCount);
  histogram.counts.reserve(pixelCount);
  histogram.colourOfPixel.resize(pixelCount);
  for (const std::uint32_t pixel : pixelsByColour(colourAt)) {
    const PackedColour colour = colourAt[pixel];
    if (histogram.colours.empty() || histogram.colours.back() != colour) {
      histogram.colours.push_back(colour);
      histogram.counts.push_back(0);
    }
    ++histogram.counts.back();
    histogram.colourOfPixel[pixel] = static_cast<std::uint32_t>(histogram.colours.size() - 1);
  }
  return histogram;
}

}  // namespace tintrod::quantize
