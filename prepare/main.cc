#include <string>
#include <vector>

#include "prepare/prepare_run.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argc > 0 ? argv + 1 : argv, argv + argc);
  return tintrod::runPrepare(arguments);
}
