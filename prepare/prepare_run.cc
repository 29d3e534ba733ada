#include "prepare/prepare_run.h"

#include <cstdio>
#include <vector>

#include "os/os.h"
#include "prepare/command_line.h"
#include "prepare/prepare_picture.h"
#include "prepare/slot_size.h"
#include "util/failure.h"
#include "util/input_file.h"

namespace tintrod {
namespace {

std::vector<std::uint8_t> readPicture(const std::string& path) {
  InputFile file;
  if (!file.open(path)) fail(Failure::kPictureRead, path);
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
  const std::vector<std::uint8_t> picture = readPicture(run.picture);
  const PreparedPicture prepared = preparePicture(picture, slot->width, slot->height, run.options);
  if (prepared.failure) fail(*prepared.failure, run.picture);
  if (!writeBitmap(run.output, prepared.bitmap)) fail(Failure::kFileWrite, run.output);
  return 0;
}

}  // namespace tintrod
