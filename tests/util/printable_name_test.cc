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

// Paths keep whole UTF-8 letters; C1 controls, overlong forms, surrogates and
// cut-off sequences are still escaped.
TEST(PrintableName, KeepsUtf8LettersWhereAsked) {
  const auto utf8 = [](std::string_view name) { return printableName(name, Letters::kUtf8); };
  EXPECT_EQ(utf8("caf\xC3\xA9 \xE6\x9C\xA8 \xF0\x9F\x8E\xB1.jpg"),
            "caf\xC3\xA9 \xE6\x9C\xA8 \xF0\x9F\x8E\xB1.jpg");
  EXPECT_EQ(printableName("caf\xC3\xA9"), "caf\\xC3\\xA9");
  EXPECT_EQ(utf8("\xC2\x9B"
                 "2J"),
            "\\xC2\\x9B"
            "2J");
  EXPECT_EQ(utf8("\xC0\xAF\xED\xA0\x80"), "\\xC0\\xAF\\xED\\xA0\\x80");
  EXPECT_EQ(utf8("\xE6\x9C"), "\\xE6\\x9C");
  EXPECT_EQ(utf8("\xF4\x90\x80\x80"), "\\xF4\\x90\\x80\\x80");
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
