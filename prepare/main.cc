#include <string>
#include <vector>

#include "entry/program_entry.h"
#include "os/os.h"
#include "prepare/prepare_run.h"

namespace {

tintrod::Status prepare(std::span<const std::string> arguments) {
  return tintrod::runPrepare(tintrod::os::expandWildcards({arguments.begin(), arguments.end()}));
}

}  // namespace

// Pictures too large for this machine are refused as too large where they are
// read and decoded; memory that runs out anywhere else gets a line of its own.
int main(int argc, char** argv) {
  // Decoding, scaling and quantizing each take and free buffers of megabytes.
  tintrod::os::reuseFreedMemory();
  return tintrod::runProgram(argc, argv, {prepare, tintrod::Failure::kOutOfMemory});
}
