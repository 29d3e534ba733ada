#include "web/slot_picture.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "os/os.h"

namespace tintrod::web {

Result<PictureSize> prepareSlotPicture(const std::string& path, const SkinSlot& slot,
                                       const PrepareOptions& options,
                                       const std::string& bitmapPath) {
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
  const std::optional<PictureSize> size = declaredPictureSize(picture);
  const PreparedPicture prepared = preparePicture(picture, slot.width, slot.height, options);
  if (!prepared.ok()) return Status(prepared.status().failure(), path);
  if (!os::writeWholeFile(bitmapPath, *prepared, os::NewFile::Durability::kDurable)) {
    return Status(Failure::kFileWrite, bitmapPath);
  }
  // A picture that decoded declared its size.
  return size.value_or(PictureSize{});
}

bool inPictureFormat(const std::string& path) {
  os::LargeBuffer picture;
  return os::readWholeFile(path, kMaxPictureFileSize, picture) == os::WholeRead::kRead &&
         tintrod::inPictureFormat(picture);
}

bool looksBlocky(const PictureSize& picture, const SkinSlot& slot) {
  constexpr std::int64_t kMostEnlargement = 2;
  if (picture.width <= 0 || picture.height <= 0) return false;  // size unknown
  return picture.width * kMostEnlargement < slot.width ||
         picture.height * kMostEnlargement < slot.height;
}

}  // namespace tintrod::web
