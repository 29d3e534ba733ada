// Both helper programs answer help and version alike, as processes.
#include "util/program_help.h"

#include <gtest/gtest.h>

#include "entry/window_start.h"
#include "tests/support/scratch.h"

namespace tintrod::testing {
namespace {

struct HelpCase {
  const char* program;
  std::vector<std::string> arguments;
  std::string firstLine;  // of standard output; status 0 and nothing else
};

TEST(ProgramHelp, ExtractAndPrepareAnswerAlike) {
  const std::string extractUsage = "usage tintrod-extract [--force] [--sheet FILE] [MODEL] [DIR]";
  const std::string prepareUsage = failureLine(Failure::kPrepareUsage);
  const std::string version = TINTROD_VERSION;
  const HelpCase cases[] = {
      {TINTROD_EXTRACT_BINARY, {"-h"}, extractUsage},
      {TINTROD_EXTRACT_BINARY, {"--help"}, extractUsage},
      {TINTROD_EXTRACT_BINARY, {"m.obp", "--version", "-h"}, extractUsage},
      {TINTROD_EXTRACT_BINARY, {"--version"}, "tintrod-extract " + version},
      {TINTROD_EXTRACT_BINARY, {"/?"}, extractUsage},
      {TINTROD_PREPARE_BINARY, {"-h"}, prepareUsage.substr(0, prepareUsage.size() - 1)},
      {TINTROD_PREPARE_BINARY, {"--help"}, prepareUsage.substr(0, prepareUsage.size() - 1)},
      {TINTROD_PREPARE_BINARY,
       {"a.png", "--fit", "zoom", "--help"},
       prepareUsage.substr(0, prepareUsage.size() - 1)},
      {TINTROD_PREPARE_BINARY, {"--version"}, "tintrod-prepare " + version},
      {TINTROD_PREPARE_BINARY,
       {"--into", "out", "/?"},
       prepareUsage.substr(0, prepareUsage.size() - 1)},
  };
  ScratchDir dir;
  for (const HelpCase& c : cases) {
    SCOPED_TRACE(std::string(c.program) + " " + ::testing::PrintToString(c.arguments));
    const ProcessResult result = runProcess(c.program, c.arguments, dir.path());
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(result.output.substr(0, result.output.find('\n')), c.firstLine);
    const bool help = c.firstLine.starts_with("usage");
    // Help: the usage line, a blank line, a description that lists every option.
    EXPECT_EQ(result.output.find("\n\n") == c.firstLine.size(), help);
    EXPECT_EQ(result.output.find("-h, --help") != std::string::npos, help);
    EXPECT_EQ(listDirectory(dir.path()), std::vector<std::string>{});
  }
}

// Explorer starts a program in a window of its own, which closes as it ends.
TEST(WindowStart, OnlyAWindowOfItsOwnIntroducesOrTakesDroppedFiles) {
  const auto isFile = [](const std::string& path) { return path.ends_with(".jpg"); };
  const struct {
    std::vector<std::string> arguments;
    bool ownWindow;
    bool takesDrops;
    WindowStart start;
  } cases[] = {
      {{}, true, true, WindowStart::kIntroduce},
      {{}, true, false, WindowStart::kIntroduce},
      {{}, false, true, WindowStart::kAsTyped},
      {{"C:\\photos\\shaft.jpg", "C:\\photos\\wrap.jpg"}, true, true, WindowStart::kDropped},
      {{"C:\\photos\\shaft.jpg"}, true, false, WindowStart::kAsTyped},
      {{"C:\\photos\\shaft.jpg"}, false, true, WindowStart::kAsTyped},
      {{"shaft.jpg", "missing.png"}, true, true, WindowStart::kAsTyped},
      {{"--into", "out", "shaft.jpg"}, true, true, WindowStart::kAsTyped},
      {{"-x.jpg"}, true, true, WindowStart::kAsTyped},
      {{"/?"}, true, true, WindowStart::kAsTyped},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(windowStart(c.arguments, c.ownWindow, c.takesDrops, isFile), c.start)
        << ::testing::PrintToString(c.arguments) << c.ownWindow << c.takesDrops;
  }
}

}  // namespace
}  // namespace tintrod::testing
