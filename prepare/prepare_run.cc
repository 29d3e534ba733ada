#include "prepare/prepare_run.h"

#include <cstdio>
#include <vector>

#include "bitmap/bitmap_headers.h"
#include "bitmap/bitmap_writer.h"
#include "os/os.h"
#include "prepare/command_line.h"
#include "prepare/prepare_picture.h"
#include "prepare/slot_size.h"
#include "util/failure.h"
#include "util/input_file.h"

namespace tintrod {
namespace {

bool isEightBitBitmap(const std::string& path) {
  InputFile file;
  if (!file.open(path)) return false;
  // A file too short for the headers reads as zeros: no signature.
  const BitmapHeaders headers = readBitmapHeaders(file);
  return headers.file.bfType == kBitmapSignature && headers.info.biBitCount == 8;
}

// Refused before the picture is decoded: a refusal costs no time and leaves
// everything as it was. A bitmap this program may have written before is the
// only file it replaces.
void checkOutput(const std::string& output, const InputFile& picture) {
  if (os::isSameFile(picture.handle(), output)) fail(Failure::kWriteOverPicture, output);
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

std::vector<std::uint8_t> readPicture(InputFile& file, const std::string& path) {
  if (file.size() < 0 || std::uint64_t(file.size()) > kMaxPictureFileSize) {
    fail(Failure::kPictureTooLarge, path);
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.size()));
  if (!file.read(bytes.data(), bytes.size())) fail(Failure::kPictureRead, path);
  return bytes;
}

// Whole or not at all: a failed run leaves an earlier OUTPUT as it was.
bool writeBitmap(const std::string& path, std::span<const std::uint8_t> bitmap) {
  os::NewFile file;
  return file.create(path, os::kNewFilePermissions) && file.append(bitmap) && file.publish();
}

}  // namespace

int runPrepare(std::span<const std::string> arguments) {
  const auto command = parsePrepareArguments(arguments);
  if (!command) fail(Failure::kPrepareUsage);
  if (!command->arguments) {
    std::fputs(command->text.c_str(), stdout);
    return 0;
  }
  const PrepareArguments& run = *command->arguments;
  const auto slot = slotSize(run.slot);
  if (!slot) fail(Failure::kUnknownSlot, run.slot);
  InputFile pictureFile;
  if (!pictureFile.open(run.picture)) fail(Failure::kPictureRead, run.picture);
  checkOutput(run.output, pictureFile);
  const std::vector<std::uint8_t> picture = readPicture(pictureFile, run.picture);
  pictureFile.close();
  const PreparedPicture prepared = preparePicture(picture, slot->width, slot->height, run.options);
  if (prepared.failure) fail(*prepared.failure, run.picture);
  if (!writeBitmap(run.output, prepared.bitmap)) fail(Failure::kFileWrite, run.output);
  return 0;
}

}  // namespace tintrod
