// What the fuzz targets share: property checks, a private folder, and
// catching a failure together with its kind.
#pragma once

#include <filesystem>
#include <optional>

#include "tests/support/scratch.h"

namespace tintrod::fuzz {

using testing::Bytes;

// Reports the property on standard error and aborts when it does not hold,
// so that libFuzzer keeps the input and a replay test fails.
void expectProperty(bool holds, const char* property);

// A folder of this process's own, removed at exit.
const std::filesystem::path& scratchFolder();

// Runs `action` with failures caught; the failure, or nothing on completion.
template <typename Action>
std::optional<testing::CaughtFailure> caughtFailureOf(Action&& action) {
  testing::FailureCatcher catcher;
  try {
    action();
  } catch (const testing::CaughtFailure& caught) {
    return caught;
  }
  return std::nullopt;
}

}  // namespace tintrod::fuzz
