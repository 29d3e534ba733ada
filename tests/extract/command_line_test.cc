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
  ExtractOptions::Request request = ExtractOptions::Request::kExtract;
};

TEST(ExtractArguments, DefaultsAndOptions) {
  using enum ExtractOptions::Request;
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
      {{"--help"}, "cueTemplate.obp", "", std::nullopt, false, kHelp},
      {{"m.obp", "--version"}, "cueTemplate.obp", "", std::nullopt, false, kVersion},
      {{"--version", "--help"}, "cueTemplate.obp", "", std::nullopt, false, kHelp},
      {{"--version", "-h"}, "cueTemplate.obp", "", std::nullopt, false, kHelp},
      {{"--", "--help"}, "--help", "", std::nullopt},
  };
  for (const Case& c : cases) {
    const auto options = parseExtractArguments(c.arguments);
    ASSERT_TRUE(options) << ::testing::PrintToString(c.arguments);
    EXPECT_EQ(options->model, c.model);
    EXPECT_EQ(options->folder, c.folder);
    EXPECT_EQ(options->sheet, c.sheet);
    EXPECT_EQ(options->force, c.force);
    EXPECT_EQ(options->request, c.request);
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
    EXPECT_FALSE(parseExtractArguments(arguments)) << ::testing::PrintToString(arguments);
  }
}

}  // namespace
}  // namespace tintrod
