#include "quantize/quantize.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "quantize/colour_histogram.h"
#include "quantize/dither.h"
#include "quantize/kmeans.h"
#include "quantize/nearest_by_squared_distance.h"
#include "quantize/variance_cut.h"

namespace tintrod {
namespace {

using quantize::ColourHistogram;
using quantize::Rgb;

constexpr int kPaletteEntries = 256;

QuantizedPicture keepEveryColour(const ColourHistogram& histogram) {
  QuantizedPicture picture;
  for (const PackedColour colour : histogram.colours) {
    picture.palette.push_back(static_cast<std::uint8_t>(redOf(colour)));
    picture.palette.push_back(static_cast<std::uint8_t>(greenOf(colour)));
    picture.palette.push_back(static_cast<std::uint8_t>(blueOf(colour)));
  }
  picture.indices.assign(histogram.colourOfPixel.begin(), histogram.colourOfPixel.end());
  return picture;
}

std::vector<Rgb<int>> roundedMeans(const std::vector<Rgb<float>>& means) {
  std::vector<Rgb<int>> entries;
  for (const Rgb<float>& mean : means) {
    Rgb<int> entry;
    for (std::size_t c = 0; c < 3; ++c) {
      entry[c] = std::clamp(static_cast<int>(std::lround(mean[c])), 0, 255);
    }
    entries.push_back(entry);
  }
  return entries;
}

// The palette keeps only the entries some pixel uses, in their first order.
QuantizedPicture compact(const quantize::NearestBySquaredDistance<int>& palette,
                         const std::vector<int>& entryOfPixel) {
  std::vector<int> newIndex(static_cast<std::size_t>(palette.size()), -1);
  QuantizedPicture picture;
  picture.indices.reserve(entryOfPixel.size());
  int used = 0;
  for (const int entry : entryOfPixel) {
    int& index = newIndex[static_cast<std::size_t>(entry)];
    if (index < 0) {
      index = used++;
      for (const int channel : palette.entry(entry)) {
        picture.palette.push_back(static_cast<std::uint8_t>(channel));
      }
    }
    picture.indices.push_back(static_cast<std::uint8_t>(index));
  }
  return picture;
}

}  // namespace

QuantizedPicture quantizePicture(std::span<const std::uint8_t> rgb, int width, int height,
                                 const QuantizeOptions& options) {
  if (width <= 0 || height <= 0) return {};
  const std::size_t pixelCount = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (rgb.size() / 3 != pixelCount || rgb.size() % 3 != 0) return {};

  const ColourHistogram histogram = quantize::buildHistogram(rgb);
  if (histogram.colours.size() <= kPaletteEntries) return keepEveryColour(histogram);

  quantize::Clusters clusters = quantize::varianceCut(histogram, kPaletteEntries);
  quantize::refineClusters(histogram, clusters);
  const quantize::NearestBySquaredDistance<int> palette(roundedMeans(clusters.means));

  std::vector<int> entryOfColour(histogram.colours.size());
  for (std::size_t i = 0; i < entryOfColour.size(); ++i) {
    const PackedColour colour = histogram.colours[i];
    entryOfColour[i] =
        palette.find({redOf(colour), greenOf(colour), blueOf(colour)}, clusters.clusterOfColour[i]);
  }
  std::vector<int> entryOfPixel(pixelCount);
  for (std::size_t p = 0; p < pixelCount; ++p) {
    entryOfPixel[p] = entryOfColour[histogram.colourOfPixel[p]];
  }
  if (options.dither) {
    entryOfPixel = quantize::ditherPixels(rgb, width, height, palette, entryOfPixel);
  }
  return compact(palette, entryOfPixel);
}

}  // namespace tintrod
