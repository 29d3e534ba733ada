#include "util/printable_name.h"

#include <gtest/gtest.h>

#include "os/os.h"

namespace tintrod {
namespace {

TEST(PrintableName, EscapesWhatATerminalWouldInterpret) {
  EXPECT_EQ(printableName("zb1a_256"), "zb1a_256");
  EXPECT_EQ(printableName("a\nb\\c\x01\xE9"), "a\\x0Ab\\c\\x01\\xE9");
  EXPECT_EQ(printableName("\x1B[2J\x7F\r"), "\\x1B[2J\\x7F\\x0D");
}

// Scripts read the lines byte for byte; a terminal gets every name escaped,
// the line's own newline kept.
TEST(PrintableName, LinesAreEscapedOnATerminalOnly) {
  const std::string line = "can't find picture \x1B]2;owned\x07\x1B[2J.jpg\n";
  const std::string escaped = "can't find picture \\x1B]2;owned\\x07\\x1B[2J.jpg\n";
  EXPECT_EQ(shownLine(line), os::standardOutputIsTerminal() ? escaped : line);
  EXPECT_EQ(shownLine("tintrod C:\\skins\\shaftbmp.bmp\n"), "tintrod C:\\skins\\shaftbmp.bmp\n");
}

}  // namespace
}  // namespace tintrod
