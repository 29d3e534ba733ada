#include "prepare/orient_picture.h"

#include <algorithm>
#include <cstddef>

namespace tintrod {
namespace {

struct Point {
  int x;
  int y;
};

// The stored pixel that shows at (x, y) of the upright picture; width and
// height are the stored picture's.
Point storedPixel(int orientation, int x, int y, int width, int height) {
  switch (orientation) {
    case 2:  // mirrored
      return {width - 1 - x, y};
    case 3:  // half a turn
      return {width - 1 - x, height - 1 - y};
    case 4:  // flipped
      return {x, height - 1 - y};
    case 5:  // about the main diagonal
      return {y, x};
    case 6:  // stored a quarter turn anticlockwise: shown turned clockwise
      return {y, height - 1 - x};
    case 7:  // about the other diagonal
      return {width - 1 - y, height - 1 - x};
    case 8:  // stored a quarter turn clockwise: shown turned anticlockwise
      return {width - 1 - y, x};
    default:
      return {x, y};
  }
}

}  // namespace

RgbPicture orientPicture(RgbPicture stored, int orientation) {
  if (orientation <= kOrientationAsStored || orientation > kOrientations) return stored;
  const bool swapsSides = orientationSwapsSides(orientation);
  RgbPicture upright;
  upright.width = swapsSides ? stored.height : stored.width;
  upright.height = swapsSides ? stored.width : stored.height;
  upright.channels = PixelBytes(stored.channels.size());
  std::uint8_t* out = upright.channels.data();
  for (int y = 0; y < upright.height; ++y) {
    for (int x = 0; x < upright.width; ++x, out += kRgbChannels) {
      const Point from = storedPixel(orientation, x, y, stored.width, stored.height);
      const auto* const first =
          stored.channels.begin() + (std::ptrdiff_t(from.y) * stored.width + from.x) * kRgbChannels;
      std::copy(first, first + kRgbChannels, out);
    }
  }
  return upright;
}

}  // namespace tintrod
