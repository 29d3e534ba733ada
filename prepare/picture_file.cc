#include "prepare/picture_file.h"

#include <new>

#include "bitmap/bitmap_headers.h"
#include "bitmap/bitmap_writer.h"
#include "os/os.h"
#include "prepare/prepare_picture.h"
#include "util/input_file.h"

namespace tintrod {
namespace {

Failure unreadable(const std::string& path) {
  switch (os::whyNotOpened(path)) {
    case os::OpenRefusal::kMissing:
      return Failure::kPictureMissing;
    case os::OpenRefusal::kNotPermitted:
      return Failure::kPictureNotPermitted;
    case os::OpenRefusal::kFolder:
      return Failure::kPictureFolder;
    case os::OpenRefusal::kOther:
      break;
  }
  return Failure::kPictureRead;
}

bool isEightBitBitmap(const std::string& path) {
  InputFile file;
  if (!file.open(path)) return false;
  // A file too short for the headers reads as zeros: no signature.
  const BitmapHeaders headers = readBitmapHeaders(file);
  return headers.file.bfType == kBitmapSignature && headers.info.biBitCount == 8;
}

}  // namespace

Result<os::LargeBuffer> readPicture(const std::string& path) {
  os::LargeBuffer bytes;
  os::WholeRead read = os::WholeRead::kShort;
  try {
    read = os::readWholeFile(path, kMaxPictureFileSize, bytes);
  } catch (const std::bad_alloc&) {
    // As for decoding: a machine that cannot hold the file is one it is too
    // large for.
    return Status(Failure::kPictureTooLarge, path);
  }
  switch (read) {
    case os::WholeRead::kRead:
      return bytes;
    case os::WholeRead::kNotOpened:
      return Status(unreadable(path), path);
    case os::WholeRead::kTooLarge:
      return Status(Failure::kPictureTooLarge, path);
    case os::WholeRead::kShort:
      break;
  }
  return Status(Failure::kPictureRead, path);
}

Status checkOutput(const std::string& output, std::span<const std::string> pictures) {
  for (const std::string& picture : pictures) {
    InputFile file;
    if (file.open(picture) && os::isSameFile(file.handle(), output)) {
      return Status(Failure::kWriteOverPicture, output);
    }
  }
  switch (os::entryKind(output)) {
    case os::EntryKind::kNothing:
    case os::EntryKind::kLink:  // the link itself is replaced, never written through
      break;
    case os::EntryKind::kFolder:
    case os::EntryKind::kOther:  // a device or a FIFO is never replaced by a file
      return Status(Failure::kFileWrite, output);
    case os::EntryKind::kRegularFile:
      if (!isEightBitBitmap(output)) return Status(Failure::kOutputNotBitmap, output);
      break;
  }
  return {};
}

}  // namespace tintrod
