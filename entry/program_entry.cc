#include "entry/program_entry.h"

#include <cstdio>
#include <vector>

#include "os/os.h"
#include "util/failure.h"

namespace tintrod {

int runProgram(int argc, char** argv, const Program& program) {
  const Status status = runGuarded(program.outOfMemory, [&] {
    const std::vector<std::string> arguments = os::startProgram(argc, argv);
    return program.pass(arguments);
  });
  if (!status.ok()) std::fputs(status.line().c_str(), stdout);
  // A line that never reached its reader (a full disk, a closed pipe) fails
  // the run, whatever the pass did: the command or version it printed is lost.
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    std::fputs(failureLine(Failure::kStandardOutputLost).c_str(), stderr);
    return 1;
  }
  return status.ok() ? 0 : 1;
}

}  // namespace tintrod
