#include "extract/command_line.h"

#include <gtest/gtest.h>

namespace tintrod {
namespace {

struct Case {
  std::vector<std::string> arguments;
  std::string model;
  std::string folder;
  std::optional<std::string> sheet;
  bool force = false;
};

TEST(ExtractArguments, DefaultsAndOptions) {
  const std::vector<Case> cases = {
      {{}, "cueTemplate.obp", "", std::nullopt},
      {{"m.obp"}, "m.obp", "", std::nullopt},
      {{"m.obp", "out"}, "m.obp", "out", std::nullopt},
      {{"/m.obp", "/out", "--sheet", "/s.bmp"}, "/m.obp", "/out", "/s.bmp"},
      {{"--sheet", "s.bmp"}, "cueTemplate.obp", "", "s.bmp"},
      {{"m.obp", "--sheet", "s.bmp", "out"}, "m.obp", "out", "s.bmp"},
      {{"m.obp", "out", "--sheet", "--"}, "m.obp", "out", "--"},
      {{"--", "-m.obp", "--sheet"}, "-m.obp", "--sheet", std::nullopt},
      {{"m.obp", "--force", "out"}, "m.obp", "out", std::nullopt, true},
      {{"--sheet=s.bmp", "--force"}, "cueTemplate.obp", "", "s.bmp", true},
      {{"--", "--help"}, "--help", "", std::nullopt},
  };
  for (const Case& c : cases) {
    const Result<ExtractCommand> command = parseExtractArguments(c.arguments);
    ASSERT_TRUE(command.ok() && command->runs()) << ::testing::PrintToString(c.arguments);
    const ExtractOptions& options = command->run();
    EXPECT_EQ(options.model, c.model);
    EXPECT_EQ(options.folder, c.folder);
    EXPECT_EQ(options.sheet, c.sheet);
    EXPECT_EQ(options.force, c.force);
  }
}

TEST(ExtractArguments, HelpAndVersionAskNothingToRun) {
  const std::string help = failureLine(Failure::kExtractUsage) + "\n";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--help"}, help},
      {{"m.obp", "--version"}, "tintrod-extract " TINTROD_VERSION "\n"},
      {{"--version", "--help"}, help},
      {{"--version", "-h"}, help},
  };
  for (const auto& [arguments, start] : cases) {
    const Result<ExtractCommand> command = parseExtractArguments(arguments);
    ASSERT_TRUE(command.ok() && !command->runs()) << ::testing::PrintToString(arguments);
    EXPECT_TRUE(command->text().starts_with(start)) << command->text();
  }
}

TEST(ExtractArguments, RefusesWhatDoesNotFit) {
  const std::vector<std::vector<std::string>> refused = {
      {"a", "b", "c"},
      {"--sheet"},
      {"m.obp", "--sheet"},
      {"--sheet", "a", "--sheet", "b"},
      {"-v"},
      {"--", "a", "b", "c"},
      {"--shee", "s.bmp"},
  };
  for (const auto& arguments : refused) {
    EXPECT_EQ(parseExtractArguments(arguments).status().line(), failureLine(Failure::kExtractUsage))
        << ::testing::PrintToString(arguments);
  }
}

}  // namespace
}  // namespace tintrod
