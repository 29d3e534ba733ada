// Turns and mirrors a decoded picture the way a photo viewer shows it, so
// that a phone photo stored on its side lands upright on the cue.
#pragma once

#include "prepare/rgb_picture.h"

namespace tintrod {

// Orientations 5 to 8 turn the picture a quarter, swapping width and height.
inline constexpr bool orientationSwapsSides(int orientation) {
  return orientation >= 5 && orientation <= 8;
}

// `orientation` as exifOrientation gives it.
// Throws std::bad_alloc when the turned copy cannot be held.
RgbPicture orientPicture(RgbPicture stored, int orientation);

}  // namespace tintrod
