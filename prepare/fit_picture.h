// Brings a picture to a slot's size: stretched, cropped to cover, or padded
// to fit inside. Scaling is in linear light with stb_image_resize's
// default filters (Mitchell down, Catmull-Rom up); a picture already of the
// size it must take is copied, never resampled.
#pragma once

#include "picture/picture_reader.h"
#include "picture/rgb_picture.h"
#include "util/status.h"

namespace tintrod {

// kPictureTooLarge when the scaler cannot get its working memory. Takes the
// picture over, so that a picture already of the slot's size is not copied
// and a larger one is freed as soon as it is scaled.
// `background` fills what a padded picture leaves uncovered.
Result<RgbPicture> fitPicture(RgbPicture picture, int width, int height, Fit fit,
                              const Colour& background = {});

}  // namespace tintrod
