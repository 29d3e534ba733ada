#include "entry/program_entry.h"

#include <cstdio>
#include <vector>

#include "entry/window_start.h"
#include "os/os.h"
#include "util/failure.h"
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
  // A line that never reached its reader (a full disk, a closed pipe) fails
  // the run, whatever the pass did: the command or version it printed is lost.
  const bool lost = std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
  if (lost) std::fputs(failureLine(Failure::kStandardOutputLost).c_str(), stderr);
  if (ownWindow) waitForEnter();
  if (lost) return 1;
  return status.ok() ? 0 : 1;
}

}  // namespace tintrod
