#include "web/slot_picture.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "os/os.h"
#include "util/failure_tables.h"

namespace tintrod::web {

Result<PictureSize> prepareSlotPicture(const std::string& path, const SkinSlot& slot,
                                       const PrepareOptions& options,
                                       const std::string& bitmapPath) {
  // The decoder's own cap, applied before the tab holds a second copy of the
  // file; tintrod-prepare's table, so that the page says what it says.
  os::LargeBuffer picture;
  SystemStatus read = os::readWholeFile(path, kMaxPictureFileSize, picture);
  if (!read.ok()) return failureFor(kPrepareFailures, Operation::kReadPicture, read, path);
  const std::optional<PictureSize> size = declaredPictureSize(picture);
  const PreparedPicture prepared = preparePicture(picture, slot.width, slot.height, options);
  if (!prepared.ok()) return Status(prepared.status().failure(), path);
  SystemStatus written =
      os::writeWholeFile(bitmapPath, *prepared, os::NewFile::Durability::kDurable);
  if (!written.ok()) {
    return failureFor(kPrepareFailures, Operation::kWriteFile, written, bitmapPath);
  }
  // A picture that decoded declared its size.
  return size.value_or(PictureSize{});
}

Status browserRefusal(const std::string& name, std::string_view browserError) {
  SystemErrorKind kind = SystemErrorKind::kOther;
  if (browserError == "NotFoundError") kind = SystemErrorKind::kMissing;
  if (browserError == "SecurityError") kind = SystemErrorKind::kNotPermitted;
  if (browserError == "RangeError") kind = SystemErrorKind::kTooLarge;
  return failureFor(kPrepareFailures, Operation::kReadPicture, SystemStatus(kind, 0), name);
}

bool inPictureFormat(const std::string& path) {
  os::LargeBuffer picture;
  return os::readWholeFile(path, kMaxPictureFileSize, picture).ok() &&
         tintrod::inPictureFormat(picture);
}

bool looksBlocky(const PictureSize& picture, const SkinSlot& slot) {
  constexpr std::int64_t kMostEnlargement = 2;
  if (picture.width <= 0 || picture.height <= 0) return false;  // size unknown
  return picture.width * kMostEnlargement < slot.width ||
         picture.height * kMostEnlargement < slot.height;
}

}  // namespace tintrod::web
