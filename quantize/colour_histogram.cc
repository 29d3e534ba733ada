#include "quantize/colour_histogram.h"

#include <cstddef>

#include "quantize/counting_sort.h"

namespace tintrod::quantize {
namespace {

// Pixel positions ordered by colour, one pass per channel from blue to red.
// The channels are read from the pixels themselves: a packed copy of every
// colour would cost 4 bytes a pixel at the peak, for no speed.
std::vector<std::uint32_t> pixelsByColour(std::span<const std::uint8_t> rgb) {
  const std::size_t count = rgb.size() / 3;
  std::vector<std::uint32_t> order(count);
  std::vector<std::uint32_t> scratch(count);
  for (std::size_t p = 0; p < count; ++p) order[p] = static_cast<std::uint32_t>(p);
  for (std::size_t channel = 3; channel-- > 0;) {
    countingPass(order, scratch, [rgb, channel](std::uint32_t pixel) {
      return rgb[3 * std::size_t{pixel} + channel];
    });
    order.swap(scratch);
  }
  return order;
}

}  // namespace

ColourHistogram buildHistogram(std::span<const std::uint8_t> rgb) {
  const std::size_t pixelCount = rgb.size() / 3;
  ColourHistogram histogram;
  // Room for every pixel's own colour, taken up only as far as it is used.
  histogram.colours.reserve(pixelCount);
  histogram.counts.reserve(pixelCount);
  histogram.colourOfPixel.resize(pixelCount);
  for (const std::uint32_t pixel : pixelsByColour(rgb)) {
    const std::size_t at = 3 * std::size_t{pixel};
    const PackedColour colour = packColour(rgb[at], rgb[at + 1], rgb[at + 2]);
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
