#include "prepare/prepare_run.h"

#include <cstdio>
#include <string>
#include <vector>

#include "os/os.h"
#include "prepare/command_line.h"
#include "prepare/picture_file.h"
#include "prepare/prepare_into.h"
#include "prepare/prepare_picture.h"
#include "prepare/slot_size.h"
#include "util/failure_tables.h"
#include "util/printable_name.h"

namespace tintrod {

Status runPrepare(std::span<const std::string> arguments) {
  const Result<PrepareCommand> command = parsePrepareArguments(arguments);
  if (!command.ok()) return command.status();
  if (!command->runs()) {
    std::fputs(command->text().c_str(), stdout);
    return {};
  }
  const PrepareArguments& run = command->run();
  if (run.into) return prepareInto(run);
  const auto slot = slotSize(run.slot);
  if (!slot) return Status(Failure::kUnknownSlot, run.slot);
  const Result<os::LargeBuffer> picture = readPicture(run.picture);
  if (!picture.ok()) return picture.status();
  Status checked = checkOutput(run.output, {&run.picture, 1}, *slot);
  if (!checked.ok()) return checked;
  const PreparedPicture prepared = preparePicture(*picture, slot->width, slot->height, run.options);
  if (!prepared.ok()) return Status(prepared.status().failure(), run.picture);
  SystemStatus written =
      os::writeWholeFile(run.output, *prepared, os::NewFile::Durability::kDurable);
  if (!written.ok()) {
    return failureFor(kPrepareFailures, Operation::kWriteFile, written, run.output);
  }
  const std::string wrote = "wrote " + run.output + " (" + std::to_string(slot->width) + " x " +
                            std::to_string(slot->height) + ", 8-bit) from " + run.picture + "\n";
  std::fputs(shownLine(wrote).c_str(), stdout);
  return {};
}

}  // namespace tintrod
