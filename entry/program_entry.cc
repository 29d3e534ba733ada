#include "entry/program_entry.h"

#include <cstdio>
#include <vector>

#include "entry/window_start.h"
#include "os/os.h"
#include "util/printable_name.h"

namespace tintrod {

namespace {

bool isExistingFile(const std::string& path) {
  return os::entryKind(path) == os::EntryKind::kRegularFile;
}

}  // namespace

int runProgram(int argc, char** argv, const Program& program) {
  bool ownWindow = false;
  const Status status = runGuarded(program.outOfMemory, [&] {
    std::vector<std::string> arguments = os::startProgram(argc, argv);
    ownWindow = os::ownsConsoleWindow();
    switch (windowStart(arguments, ownWindow, program.dropped != nullptr, isExistingFile)) {
      case WindowStart::kIntroduce:
        if (program.introduction == nullptr) break;
        std::fputs(program.introduction, stdout);
        return Status();
      case WindowStart::kDropped:
        if (program.dropped != nullptr) arguments = program.dropped(arguments);
        break;
      case WindowStart::kAsTyped:
        break;
    }
    return program.pass(arguments);
  });
  if (!status.ok()) std::fputs(shownLine(status.line()).c_str(), stdout);
  if (ownWindow) waitForEnter();
  return status.ok() ? 0 : 1;
}

}  // namespace tintrod
