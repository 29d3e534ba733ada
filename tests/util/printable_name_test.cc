#include "util/printable_name.h"

#include <gtest/gtest.h>

namespace tintrod {
namespace {

TEST(PrintableName, EscapesWhatATerminalWouldInterpret) {
  EXPECT_EQ(printableName("zb1a_256"), "zb1a_256");
  EXPECT_EQ(printableName("a\nb\\c\x01\xE9"), "a\\x0Ab\\x5Cc\\x01\\xE9");
  EXPECT_EQ(printableName("\x1B[2J\x7F\r"), "\\x1B[2J\\x7F\\x0D");
}

}  // namespace
}  // namespace tintrod
