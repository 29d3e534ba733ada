// The one entry of tintrod, tintrod-extract, tintrod-prepare and the page's
// core: the only place that turns a failure into its printed line and exit
// status, and memory exhaustion into a failure.
#pragma once

#include <new>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "util/status.h"

namespace tintrod {

// Runs `work`, a callable returning a Status; running out of memory anywhere
// inside it becomes `outOfMemory`. Everything `work` held is released by then.
// Nothing else is meant to throw: whatever does all the same (a library's
// own exception) becomes kInternal here instead of ending the process, so
// the unfinished outputs are removed as on every other failure.
template <typename Work>
Status runGuarded(Failure outOfMemory, Work&& work) {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    return Status(outOfMemory);
  } catch (const std::length_error&) {
    // A vector or string asked for more than any allocation can hold.
    return Status(outOfMemory);
  } catch (...) {
    return Status(Failure::kInternal);
  }
}

// One pass of a program over its arguments, the program name excluded.
using ProgramPass = Status (*)(std::span<const std::string> arguments);

struct Program {
  ProgramPass pass;
  // The program's line for memory exhaustion.
  Failure outOfMemory;
  // Started from Explorer with nothing to do, in a window of its own: what
  // the program is for and where to go instead. Null: run the pass.
  const char* introduction = nullptr;
  // The command line for files dropped onto the program; null: the files are
  // taken as typed.
  std::vector<std::string> (*dropped)(std::span<const std::string> files) = nullptr;
};

// Runs the program's pass with the process's arguments. Returns the exit
// status: 0, or 1 once the failure's line is on standard output, or when
// standard output could not be written (said on standard error).
int runProgram(int argc, char** argv, const Program& program);

}  // namespace tintrod
