#include "prepare/picture_file.h"

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

}  // namespace

std::vector<std::uint8_t> readPicture(const std::string& path) {
  InputFile file;
  if (!file.open(path)) fail(unreadable(path), path);
  if (file.size() < 0 || std::uint64_t(file.size()) > kMaxPictureFileSize) {
    fail(Failure::kPictureTooLarge, path);
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.size()));
  if (!file.read(bytes.data(), bytes.size())) fail(Failure::kPictureRead, path);
  return bytes;
}

bool writeBitmap(const std::string& path, std::span<const std::uint8_t> bitmap) {
  os::NewFile file;
  return file.create(path, os::kNewFilePermissions) && file.append(bitmap) && file.publish();
}

}  // namespace tintrod
