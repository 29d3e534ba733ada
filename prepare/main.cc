#include <string>
#include <vector>

#include "os/os.h"
#include "prepare/prepare_run.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments =
      tintrod::os::expandWildcards(tintrod::os::startProgram(argc, argv));
  return tintrod::runPrepare(arguments);
}
