#include "prepare/prepare_into.h"

#include <gtest/gtest.h>

#include "tests/support/scratch.h"

namespace tintrod::testing {
namespace {

struct MatchCase {
  std::vector<std::string> pictures;
  std::vector<std::string> arguments;  // the slots matched, in order
  std::string failure;                 // or the line the run stops with
};

TEST(PrepareInto, MatchesPicturesToSlotsByAnyName) {
  const std::string rename =
      " names no part; name it connector, point inlay 1, point inlay 2, point inlay 3, wrap, "
      "butt, ferrule, shaft or bumper (or its slot, as shaftbmp)\n";
  const MatchCase cases[] = {
      {{"pics/shaftbmp.png", "zbRubber.JPG", "C:\\photos\\Point Inlay 1.jpeg", "wrap"},
       {"shaftbmp", "bumperbmp", "pointbmp1", "wrapbmp"},
       ""},
      {{"point 1.jpg", "connect.bmp", "shaft (1).JPG", "inlay 2 copy.png"},
       {"pointbmp1", "connectbmp", "shaftbmp", "pointbmp2"},
       ""},
      {{"ferrule.final.png"}, {}, "picture ferrule.final.png" + rename},
      {{"shaft.jpg", "wrap and butt.jpg"},
       {},
       "picture wrap and butt.jpg names both wrap and butt; name it after one part\n"},
      {{"shaft.jpg", "shaft copy.jpg"},
       {},
       "pictures shaft.jpg and shaft copy.jpg are for the same slot; give it one\n"},
      {{"butt.png", ".png"}, {}, "picture .png" + rename},
      {{"shaft.jpg", "butt.png", "zbshaft.png"},
       {},
       "pictures shaft.jpg and zbshaft.png are for the same slot; give it one\n"},
  };
  for (const MatchCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.pictures));
    std::vector<std::string> arguments;
    const auto failure = failureOf([&] {
      auto matched = matchPicturesToSlots(c.pictures);
      for (const SlotPicture& each : matched.ok() ? *matched : std::vector<SlotPicture>{}) {
        arguments.emplace_back(each.slot->argumentName);
      }
      return matched;
    });
    EXPECT_EQ(failure.value_or(""), c.failure);
    EXPECT_EQ(arguments, c.arguments);
  }
}

// Each part says what dresses it; the command comes only when every path
// in it names a file, and the tintrod-extract that provides them otherwise.
std::string summaryOf(const std::string& folder, std::span<const SlotPicture> given,
                      bool (*exists)(const std::string& path), os::ShellQuoting quoting) {
  std::string summary;
  for (const std::string& line : intoSummary(folder, given, exists, quoting)) {
    EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
    summary += line;
  }
  return summary;
}

TEST(PrepareInto, SummaryTakesWhatTheFolderHolds) {
  const std::vector<std::string> given = {"photos/shaft.JPG"};
  const std::vector<SlotPicture> matched = *matchPicturesToSlots(given);
  // As if the folder held an earlier wrap and tintrod-extract's textures.
  const auto extracted = [](const std::string& path) {
    return path.ends_with("wrapbmp.bmp") ||
           (path.find("/zb") != std::string::npos && !path.ends_with("zblinen.bmp"));
  };
  EXPECT_EQ(summaryOf("out", matched, extracted, os::ShellQuoting::kPosix),
            "connector: keeps out/zb1connect.bmp\n"
            "point inlay 1: keeps out/zb1a_256.bmp\n"
            "point inlay 2: keeps out/zb1b_256.bmp\n"
            "point inlay 3: keeps out/zb1c_256.bmp\n"
            "wrap: keeps out/wrapbmp.bmp\n"
            "butt: keeps out/zb1butt.bmp\n"
            "ferrule: keeps out/zbferrule.bmp\n"
            "shaft: photos/shaft.JPG\n"
            "bumper: keeps out/zbrubber.bmp\n"
            "tintrod out/zb1connect.bmp out/zb1a_256.bmp out/zb1b_256.bmp out/zb1c_256.bmp "
            "out/wrapbmp.bmp out/zb1butt.bmp out/zbferrule.bmp out/shaftbmp.bmp "
            "out/zbrubber.bmp\n");
  const auto someExtracted = [](const std::string& path) {
    return path.ends_with("wrapbmp.bmp") || path.ends_with("zbrubber.bmp");
  };
  const std::string missing =
      "connector: no texture in my skins\\\n"
      "point inlay 1: no texture in my skins\\\n"
      "point inlay 2: no texture in my skins\\\n"
      "point inlay 3: no texture in my skins\\\n"
      "wrap: keeps my skins\\wrapbmp.bmp\n"
      "butt: no texture in my skins\\\n"
      "ferrule: no texture in my skins\\\n"
      "shaft: photos/shaft.JPG\n"
      "bumper: keeps my skins\\zbrubber.bmp\n"
      "run this, then tintrod-prepare again for the tintrod command:\n";
  EXPECT_EQ(summaryOf("my skins\\", matched, someExtracted, os::ShellQuoting::kCmdAndPowerShell),
            missing + "tintrod-extract cueTemplate.obp \"my skins\"\n");
  EXPECT_TRUE(summaryOf("", {}, someExtracted, os::ShellQuoting::kPosix)
                  .starts_with("connector: no texture in .\npoint "));
  EXPECT_TRUE(summaryOf("", {}, someExtracted, os::ShellQuoting::kPosix)
                  .ends_with("\ntintrod-extract cueTemplate.obp .\n"));
}

// Every word reads back as it was, or is refused where both Windows shells
// cannot read it the same.
TEST(PrepareInto, QuotesEachWordForTheShellThatReadsIt) {
  const struct {
    std::string word;
    std::string posix;
    std::string windows;  // empty: refused
  } cases[] = {
      {"out/shaftbmp.bmp", "out/shaftbmp.bmp", "out/shaftbmp.bmp"},
      {"a,b+c@d%e=f", "a,b+c@d%e=f", ""},
      {"=cmd", "'=cmd'", "\"=cmd\""},
      {"my skins\\x.bmp", "'my skins\\x.bmp'", "\"my skins\\x.bmp\""},
      {"$(touch pwned)/x", "'$(touch pwned)/x'", ""},
      {"it's", "'it'\\''s'", "\"it's\""},
      {"my \"tex\"", "'my \"tex\"'", ""},
      {"`x`", "'`x`'", ""},
      {"a!b", "'a!b'", ""},
      {"\u201cx\u201d", "'\u201cx\u201d'", ""},
      {"dir\\", "'dir\\'", "dir\\"},
      {"my dir\\", "'my dir\\'", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word);
    EXPECT_EQ(shellWord(c.word, os::ShellQuoting::kPosix), c.posix);
    EXPECT_EQ(shellWord(c.word, os::ShellQuoting::kCmdAndPowerShell).value_or(""), c.windows);
  }
}

}  // namespace
}  // namespace tintrod::testing
