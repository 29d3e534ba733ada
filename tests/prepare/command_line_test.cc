#include "prepare/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace tintrod {
namespace {

using Arguments = std::vector<std::string>;

struct Accepted {
  Arguments arguments;
  const char* picture;
  const char* slot;
  const char* output;
  Fit fit;
  bool dither;
};

TEST(PrepareCommandLine, Accepts) {
  const Accepted cases[] = {
      {{"a.png", "shaftbmp", "b.bmp"}, "a.png", "shaftbmp", "b.bmp", Fit::kCrop, false},
      {{"--dither", "a.png", "s", "b"}, "a.png", "s", "b", Fit::kCrop, true},
      {{"a.png", "--fit", "crop", "s", "b"}, "a.png", "s", "b", Fit::kCrop, false},
      {{"a.png", "s", "b", "--fit=pad", "--dither"}, "a.png", "s", "b", Fit::kPad, true},
      {{"--fit", "stretch", "--", "--dither", "s", "b"},
       "--dither",
       "s",
       "b",
       Fit::kStretch,
       false},
  };
  for (const Accepted& c : cases) {
    const auto command = parsePrepareArguments(c.arguments);
    ASSERT_TRUE(command && command->arguments) << c.picture;
    const PrepareArguments& parsed = *command->arguments;
    EXPECT_EQ(parsed.picture, c.picture);
    EXPECT_EQ(parsed.slot, c.slot);
    EXPECT_EQ(parsed.output, c.output);
    EXPECT_EQ(parsed.options.fit, c.fit);
    EXPECT_EQ(parsed.options.dither, c.dither);
  }
}

TEST(PrepareCommandLine, Refuses) {
  const Arguments cases[] = {
      {},
      {"a.png", "s"},
      {"a.png", "s", "b", "c"},
      {"--fit", "zoom", "a.png", "s", "b"},
      {"--fit"},
      {"--dither=maybe", "a.png", "s", "b"},
      {"--colours", "16", "a.png", "s", "b"},
  };
  for (const Arguments& arguments : cases) {
    EXPECT_FALSE(parsePrepareArguments(arguments)) << ::testing::PrintToString(arguments);
  }
}

TEST(PrepareCommandLine, HelpAndVersionAskNothingToRun) {
  for (const Arguments& arguments : {Arguments{"--help"}, Arguments{"-h"},
                                     Arguments{"a.png", "--help"}, Arguments{"--version"}}) {
    const auto command = parsePrepareArguments(arguments);
    ASSERT_TRUE(command) << arguments[0];
    EXPECT_FALSE(command->arguments);
    EXPECT_NE(command->text.find("tintrod-prepare"), std::string::npos) << command->text;
  }
}

}  // namespace
}  // namespace tintrod
