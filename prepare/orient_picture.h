// Turns and mirrors a decoded picture the way a photo viewer shows it, so
// that a phone photo stored on its side lands upright on the cue.
#pragma once

#include "picture/picture_reader.h"
#include "picture/rgb_picture.h"

namespace tintrod {

// `orientation` as PictureInfo gives it; 5 to 8 swap width and height.
// Throws std::bad_alloc when the turned copy cannot be held.
RgbPicture orientPicture(RgbPicture stored, int orientation);

}  // namespace tintrod
