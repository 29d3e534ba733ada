#include "picture/whole_picture.h"

#include "util/picture_limits.h"

namespace tintrod {

Status WholePictureReader::check(const DecodeTarget& target) const {
  if (!withinSizeLimits(info().width, info().height)) return Status(Failure::kPictureTooLarge);
  const std::int64_t slotPixels = std::int64_t{target.width} * target.height;
  if (!fitsMemoryLimit(file_.size(), cost(), slotPixels)) return Status(Failure::kPictureTooLarge);
  if (!complete()) return Status(Failure::kPictureDecode);
  return {};
}

}  // namespace tintrod
