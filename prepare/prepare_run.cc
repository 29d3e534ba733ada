#include "prepare/prepare_run.h"

#include <cstdio>
#include <vector>

#include "os/os.h"
#include "prepare/command_line.h"
#include "prepare/picture_file.h"
#include "prepare/prepare_into.h"
#include "prepare/prepare_picture.h"
#include "prepare/slot_size.h"
#include "util/failure.h"

namespace tintrod {
int runPrepare(std::span<const std::string> arguments) {
  const auto command = parsePrepareArguments(arguments);
  if (!command) fail(Failure::kPrepareUsage);
  if (!command->arguments) {
    std::fputs(command->text.c_str(), stdout);
    return 0;
  }
  const PrepareArguments& run = *command->arguments;
  if (run.into) return prepareInto(run);
  const auto slot = slotSize(run.slot);
  if (!slot) fail(Failure::kUnknownSlot, run.slot);
  const std::vector<std::uint8_t> picture = readPicture(run.picture);
  checkOutput(run.output, {&run.picture, 1});
  const PreparedPicture prepared = preparePicture(picture, slot->width, slot->height, run.options);
  if (prepared.failure) fail(*prepared.failure, run.picture);
  if (!os::writeWholeFile(run.output, prepared.bitmap, os::NewFile::Durability::kDurable)) {
    fail(Failure::kFileWrite, run.output);
  }
  return 0;
}

}  // namespace tintrod
