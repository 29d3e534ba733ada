#include "prepare/picture_file.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "bitmap/validate_bitmap.h"
#include "os/os.h"
#include "prepare/prepare_picture.h"
#include "util/failure_tables.h"
#include "util/input_file.h"

namespace tintrod {
namespace {

// Extensions that viewers would open as something other than a BMP, in lower
// case.
constexpr std::string_view kOtherPictureExtensions[] = {
    "jpg", "jpeg", "jpe",  "jfif", "png", "apng", "gif", "tga", "tif", "tiff", "heic", "heif",
    "hif", "webp", "avif", "jxl",  "psd", "ico",  "pcx", "ppm", "pgm", "pnm",  "svg",
};

bool namesOtherPictureFormat(std::string_view path) {
  const std::size_t folderEnd = path.find_last_of("/\\");
  if (folderEnd != std::string_view::npos) path.remove_prefix(folderEnd + 1);
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string extension(path.substr(dot + 1));
  for (char& c : extension) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return std::find(std::begin(kOtherPictureExtensions), std::end(kOtherPictureExtensions),
                   extension) != std::end(kOtherPictureExtensions);
}

}  // namespace

Result<os::LargeBuffer> readPicture(const std::string& path) {
  os::LargeBuffer bytes;
  SystemStatus read = os::readWholeFile(path, kMaxPictureFileSize, bytes);
  if (!read.ok()) return failureFor(kPrepareFailures, Operation::kReadPicture, read, path);
  return bytes;
}

Status checkOutput(const std::string& output, std::span<const std::string> pictures,
                   SlotSize slot) {
  for (const std::string& picture : pictures) {
    InputFile file;
    if (file.open(picture).ok() && os::isSameFile(file.handle(), output)) {
      return Status(Failure::kWriteOverPicture, output);
    }
  }
  if (namesOtherPictureFormat(output)) return Status(Failure::kOutputNotBmpName, output);
  switch (os::entryKind(output)) {
    case os::EntryKind::kNothing:
    case os::EntryKind::kLink:  // the link itself is replaced, never written through
      break;
    case os::EntryKind::kFolder:
    case os::EntryKind::kOther:  // a device or a FIFO is never replaced by a file
      return Status(Failure::kFileWrite, output);
    case os::EntryKind::kRegularFile:
      // What tintrod would take for the slot: an earlier texture.
      if (!validateBitmap(slot.width, slot.height, output).ok()) {
        return Status(Failure::kOutputNotBitmap, output);
      }
      break;
  }
  return {};
}

}  // namespace tintrod
