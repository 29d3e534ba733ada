#include "extract/command_line.h"

#include <gtest/gtest.h>

namespace tintrod {
namespace {

struct Case {
  std::vector<std::string> arguments;
  std::string model;
  std::string folder;
  std::optional<std::string> sheet;
};

TEST(ExtractArguments, DefaultsAndTheSheetOption) {
  const std::vector<Case> cases = {
      {{}, "cueTemplate.obp", "", std::nullopt},
      {{"m.obp"}, "m.obp", "", std::nullopt},
      {{"m.obp", "out"}, "m.obp", "out", std::nullopt},
      {{"--sheet", "s.bmp"}, "cueTemplate.obp", "", "s.bmp"},
      {{"m.obp", "--sheet", "s.bmp", "out"}, "m.obp", "out", "s.bmp"},
      {{"m.obp", "out", "--sheet", "--"}, "m.obp", "out", "--"},
      {{"--", "-m.obp", "--sheet"}, "-m.obp", "--sheet", std::nullopt},
  };
  for (const Case& c : cases) {
    const auto options = parseExtractArguments(c.arguments);
    ASSERT_TRUE(options) << ::testing::PrintToString(c.arguments);
    EXPECT_EQ(options->model, c.model);
    EXPECT_EQ(options->folder, c.folder);
    EXPECT_EQ(options->sheet, c.sheet);
  }
}

TEST(ExtractArguments, RefusesWhatDoesNotFit) {
  const std::vector<std::vector<std::string>> refused = {
      {"a", "b", "c"}, {"--sheet"}, {"m.obp", "--sheet"},  {"--sheet", "a", "--sheet", "b"},
      {"-v"},          {"--help"},  {"--", "a", "b", "c"},
  };
  for (const auto& arguments : refused) {
    EXPECT_FALSE(parseExtractArguments(arguments)) << ::testing::PrintToString(arguments);
  }
}

}  // namespace
}  // namespace tintrod
