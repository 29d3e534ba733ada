#include <string>
#include <vector>

#include "entry/program_entry.h"
#include "os/os.h"
#include "prepare/command_line.h"
#include "prepare/prepare_run.h"

namespace {

constexpr char kIntroduction[] =
    R"(tintrod-prepare turns photos and pictures into the textures of the cue's
parts. Drop pictures named after the parts (shaft.jpg, point 1.jpg, wrap.png)
onto tintrod-prepare.exe: they are prepared into a folder "textures" beside
them. Or run it from a terminal; tintrod-prepare -h shows how.

Without a terminal, double-click tintrod.html: it does all of it in your
browser. README.txt tells how. Both are in the folder that holds this program.
)";

tintrod::Status prepare(std::span<const std::string> arguments) {
  return tintrod::runPrepare(tintrod::os::expandWildcards({arguments.begin(), arguments.end()}));
}

}  // namespace

// Pictures too large for this machine are refused as too large where they are
// read and decoded; memory that runs out anywhere else gets a line of its own.
int main(int argc, char** argv) {
  // Decoding, scaling and quantizing each take and free buffers of megabytes.
  tintrod::os::reuseFreedMemory();
  return tintrod::runProgram(
      argc, argv,
      {prepare, tintrod::Failure::kOutOfMemory, kIntroduction, tintrod::droppedPicturesCommand});
}
