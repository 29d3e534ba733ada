#include "prepare/picture_file.h"

#include "bitmap/bitmap_headers.h"
#include "bitmap/bitmap_writer.h"
#include "os/os.h"
#include "prepare/prepare_picture.h"
#include "util/failure.h"
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

std::vector<std::uint8_t> readPicture(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  switch (os::readWholeFile(path, kMaxPictureFileSize, bytes)) {
    case os::WholeRead::kRead:
      return bytes;
    case os::WholeRead::kNotOpened:
      fail(unreadable(path), path);
    case os::WholeRead::kTooLarge:
      fail(Failure::kPictureTooLarge, path);
    case os::WholeRead::kShort:
      break;
  }
  fail(Failure::kPictureRead, path);
}

void checkOutput(const std::string& output, std::span<const std::string> pictures) {
  for (const std::string& picture : pictures) {
    InputFile file;
    if (file.open(picture) && os::isSameFile(file.handle(), output)) {
      fail(Failure::kWriteOverPicture, output);
    }
  }
  switch (os::entryKind(output)) {
    case os::EntryKind::kNothing:
    case os::EntryKind::kLink:  // the link itself is replaced, never written through
      return;
    case os::EntryKind::kFolder:
    case os::EntryKind::kOther:  // a device or a FIFO is never replaced by a file
      fail(Failure::kFileWrite, output);
    case os::EntryKind::kRegularFile:
      if (!isEightBitBitmap(output)) fail(Failure::kOutputNotBitmap, output);
      return;
  }
}

}  // namespace tintrod
