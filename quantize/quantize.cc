// A stand-in until the quantizer lands: exact for up to 256 colours, the
// first 256 colours met otherwise, every other pixel on its nearest of them.
#include "quantize/quantize.h"

#include <algorithm>
#include <map>

namespace tintrod {

QuantizedPicture quantize(std::span<const std::uint8_t> rgb, int width, int height,
                          const QuantizeOptions& /*options*/) {
  QuantizedPicture result;
  const std::size_t pixels = std::size_t(width) * std::size_t(height);
  std::map<std::uint32_t, std::uint8_t> indexOf;
  result.indices.resize(pixels);
  for (std::size_t i = 0; i < pixels; ++i) {
    const std::uint32_t colour = rgb[3 * i] << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2];
    auto found = indexOf.find(colour);
    if (found == indexOf.end() && indexOf.size() < 256) {
      found = indexOf.emplace(colour, std::uint8_t(indexOf.size())).first;
      result.palette.insert(result.palette.end(), {rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]});
    }
    if (found != indexOf.end()) {
      result.indices[i] = found->second;
      continue;
    }
    int best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t entry = 0; entry < result.palette.size() / 3; ++entry) {
      int distance = 0;
      for (int c = 0; c < 3; ++c) {
        const int d = int(rgb[3 * i + c]) - int(result.palette[3 * entry + c]);
        distance += d * d;
      }
      if (distance < bestDistance) {
        bestDistance = distance;
        best = int(entry);
      }
    }
    result.indices[i] = std::uint8_t(best);
  }
  return result;
}

}  // namespace tintrod
