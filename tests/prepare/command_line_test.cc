#include "prepare/command_line.h"

#include <gtest/gtest.h>

#include <optional>
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
  Colour background = {0, 0, 0};
  std::optional<std::string> into = std::nullopt;
  Arguments pictures = {};
};

TEST(PrepareCommandLine, Accepts) {
  const Accepted cases[] = {
      {{"a.png", "shaftbmp", "b.bmp"}, "a.png", "shaftbmp", "b.bmp", Fit::kCrop, false},
      // Paths from the root, on Windows too, where a slash also began options.
      {{"/p/a.png", "s", "/t/b.bmp"}, "/p/a.png", "s", "/t/b.bmp", Fit::kCrop, false},
      {{"--dither", "a.png", "s", "b"}, "a.png", "s", "b", Fit::kCrop, true},
      {{"a.png", "--fit", "crop", "s", "b"}, "a.png", "s", "b", Fit::kCrop, false},
      {{"a.png", "s", "b", "--fit=pad", "--dither"}, "a.png", "s", "b", Fit::kPad, true},
      {{"--fit", "stretch", "--", "--dither", "s", "b"},
       "--dither",
       "s",
       "b",
       Fit::kStretch,
       false},
      {{"--background", "#FFa000", "a.png", "s", "b"},
       "a.png",
       "s",
       "b",
       Fit::kCrop,
       false,
       {255, 160, 0}},
      {{"--background=00ff80", "--fit", "pad", "a", "s", "b"},
       "a",
       "s",
       "b",
       Fit::kPad,
       false,
       {0, 255, 128}},
      {{"--into", "out", "shaft.jpg", "wrap.png"},
       "",
       "",
       "",
       Fit::kCrop,
       false,
       {0, 0, 0},
       "out",
       {"shaft.jpg", "wrap.png"}},
      {{"a.jpg", "--into", "d", "--dither", "--", "-b.jpg"},
       "",
       "",
       "",
       Fit::kCrop,
       true,
       {0, 0, 0},
       "d",
       {"a.jpg", "-b.jpg"}},
  };
  for (const Accepted& c : cases) {
    const Result<PrepareCommand> command = parsePrepareArguments(c.arguments);
    ASSERT_TRUE(command.ok() && command->runs()) << c.picture;
    const PrepareArguments& parsed = command->run();
    EXPECT_EQ(parsed.picture, c.picture);
    EXPECT_EQ(parsed.slot, c.slot);
    EXPECT_EQ(parsed.output, c.output);
    EXPECT_EQ(parsed.options.fit, c.fit);
    EXPECT_EQ(parsed.options.dither, c.dither);
    EXPECT_EQ(parsed.options.background, c.background);
    EXPECT_EQ(parsed.into, c.into);
    EXPECT_EQ(parsed.pictures, c.pictures);
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
      {"--background", "#12345", "a.png", "s", "b"},
      {"--background", "#1234567", "a.png", "s", "b"},
      {"--background", "#12x456", "a.png", "s", "b"},
      {"--background", "+1+2+3", "a.png", "s", "b"},
      {"--into", "out"},
      {"--into"},
      {"--into", "a", "--into", "b", "c.png"},
  };
  for (const Arguments& arguments : cases) {
    EXPECT_EQ(parsePrepareArguments(arguments).status().line(), failureLine(Failure::kPrepareUsage))
        << ::testing::PrintToString(arguments);
  }
}

TEST(PrepareCommandLine, DroppedPicturesGoIntoTexturesBesideTheFirst) {
  const struct {
    Arguments pictures;
    Arguments command;
  } cases[] = {
      {{"C:\\My photos\\shaft.jpg", "D:\\wrap.png"},
       {"--into", "C:\\My photos\\textures", "C:\\My photos\\shaft.jpg", "D:\\wrap.png"}},
      {{"/home/a/butt.jpg"}, {"--into", "/home/a/textures", "/home/a/butt.jpg"}},
      {{"butt.jpg"}, {"--into", "textures", "butt.jpg"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(droppedPicturesCommand(c.pictures), c.command);
    EXPECT_TRUE(parsePrepareArguments(c.command)->run().into);
  }
}

TEST(PrepareCommandLine, HelpAndVersionAskNothingToRun) {
  for (const Arguments& arguments : {Arguments{"--help"}, Arguments{"-h"}, Arguments{"/?"},
                                     Arguments{"a.png", "--help"}, Arguments{"--version"}}) {
    const Result<PrepareCommand> command = parsePrepareArguments(arguments);
    ASSERT_TRUE(command.ok() && !command->runs()) << arguments[0];
    EXPECT_NE(command->text().find("tintrod-prepare"), std::string::npos) << command->text();
    // Copied into a shell, "#RRGGBB" would silently end the command line.
    EXPECT_EQ(command->text().find('#'), std::string::npos) << command->text();
  }
}

}  // namespace
}  // namespace tintrod
