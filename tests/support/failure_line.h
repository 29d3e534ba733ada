// How every program here fails, checked on a finished process.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/support/scratch.h"

namespace tintrod::testing {

// One fixed line on standard output, nothing on standard error, status 1.
inline void expectFailureLine(const ProcessResult& result, const std::string& line) {
  EXPECT_EQ(result.output, line);
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.errors, "");
}

}  // namespace tintrod::testing
