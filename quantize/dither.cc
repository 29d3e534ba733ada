#include "quantize/dither.h"

#include <algorithm>
#include <cstddef>

namespace tintrod::quantize {
namespace {

// Errors are kept in sixteenths, the weights' denominator, so diffusion is
// integer arithmetic and the same on every machine.
constexpr int kScale = 16;

}  // namespace

std::vector<int> ditherPixels(std::span<const std::uint8_t> rgb, int width, int height,
                              const NearestBySquaredDistance<int>& palette,
                              const std::vector<int>& plainEntries) {
  const auto columns = static_cast<std::size_t>(width);
  std::vector<int> entries(plainEntries.size());
  // One guard column on each side takes the error that falls off the edges.
  std::vector<Rgb<int>> current(columns + 2);
  std::vector<Rgb<int>> next(columns + 2);
  for (int y = 0; y < height; ++y) {
    const bool leftward = y % 2 == 1;
    std::fill(next.begin(), next.end(), Rgb<int>{});
    for (int i = 0; i < width; ++i) {
      const auto x = static_cast<std::size_t>(leftward ? width - 1 - i : i);
      const std::size_t pixel = static_cast<std::size_t>(y) * columns + x;
      // Clamping keeps a run of same-signed errors from pushing the wanted
      // colour off the cube and from piling up where no entry can pay it back.
      Rgb<int> diffused;
      Rgb<int> wanted;
      for (std::size_t c = 0; c < 3; ++c) {
        diffused[c] = std::clamp(rgb[3 * pixel + c] * kScale + current[x + 1][c], 0, 255 * kScale);
        wanted[c] = (diffused[c] + kScale / 2) / kScale;
      }
      const int entry = palette.find(wanted, plainEntries[pixel]);
      entries[pixel] = entry;
      const Rgb<int>& chosen = palette.entry(entry);
      const std::size_t ahead = leftward ? x : x + 2;
      const std::size_t behind = leftward ? x + 2 : x;
      for (std::size_t c = 0; c < 3; ++c) {
        const int error = diffused[c] - chosen[c] * kScale;
        current[ahead][c] += error * 7 / 16;
        next[behind][c] += error * 3 / 16;
        next[x + 1][c] += error * 5 / 16;
        next[ahead][c] += error / 16;
      }
    }
    current.swap(next);
  }
  return entries;
}

}  // namespace tintrod::quantize
