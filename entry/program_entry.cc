#include "entry/program_entry.h"

#include <cstdio>
#include <vector>

#include "os/os.h"
#include "util/printable_name.h"

namespace tintrod {

int runProgram(int argc, char** argv, const Program& program) {
  const Status status = runGuarded(program.outOfMemory, [&] {
    const std::vector<std::string> arguments = os::startProgram(argc, argv);
    return program.pass(arguments);
  });
  if (status.ok()) return 0;
  std::fputs(shownLine(status.line()).c_str(), stdout);
  return 1;
}

}  // namespace tintrod
