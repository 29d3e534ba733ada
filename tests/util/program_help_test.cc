// Both helper programs answer help and version alike, as processes.
#include "util/program_help.h"

#include <gtest/gtest.h>

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
      {TINTROD_PREPARE_BINARY, {"-h"}, prepareUsage.substr(0, prepareUsage.size() - 1)},
      {TINTROD_PREPARE_BINARY, {"--help"}, prepareUsage.substr(0, prepareUsage.size() - 1)},
      {TINTROD_PREPARE_BINARY,
       {"a.png", "--fit", "zoom", "--help"},
       prepareUsage.substr(0, prepareUsage.size() - 1)},
      {TINTROD_PREPARE_BINARY, {"--version"}, "tintrod-prepare " + version},
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

}  // namespace
}  // namespace tintrod::testing
