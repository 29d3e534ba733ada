// What the fuzz targets share: property checks, a private folder, and the
// failure an operation returned, its kind with its line.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/scratch.h"

namespace tintrod::fuzz {

using testing::Bytes;

// Reports the property on standard error and aborts when it does not hold,
// so that libFuzzer keeps the input and a replay test fails.
void expectProperty(bool holds, const char* property);

// A folder of this process's own, removed at exit.
const std::filesystem::path& scratchFolder();

struct CaughtFailure {
  Failure failure;
  std::string line;
};

// Runs `action`, which returns a Status; the failure, or nothing on completion.
template <typename Action>
std::optional<CaughtFailure> caughtFailureOf(Action&& action) {
  const Status status = action();
  if (status.ok()) return std::nullopt;
  return CaughtFailure{status.failure(), status.line()};
}

}  // namespace tintrod::fuzz
