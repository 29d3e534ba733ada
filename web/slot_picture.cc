#include "web/slot_picture.h"

#include <cstdint>
#include <vector>

#include "os/os.h"

namespace tintrod::web {

Status prepareSlotPicture(const std::string& path, const SkinSlot& slot,
                          const PrepareOptions& options, const std::string& bitmapPath) {
  // The decoder's own cap, applied before the tab holds a second copy of the file.
  os::LargeBuffer picture;
  switch (os::readWholeFile(path, kMaxPictureFileSize, picture)) {
    case os::WholeRead::kRead:
      break;
    case os::WholeRead::kTooLarge:
      return Status(Failure::kPictureTooLarge, path);
    case os::WholeRead::kNotOpened:
    case os::WholeRead::kShort:
      return Status(Failure::kPictureRead, path);
  }
  const PreparedPicture prepared = preparePicture(picture, slot.width, slot.height, options);
  if (!prepared.ok()) return Status(prepared.status().failure(), path);
  if (!os::writeWholeFile(bitmapPath, *prepared, os::NewFile::Durability::kDurable)) {
    return Status(Failure::kFileWrite, bitmapPath);
  }
  return {};
}

}  // namespace tintrod::web
