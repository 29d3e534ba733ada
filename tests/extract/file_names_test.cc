#include "extract/file_names.h"

#include <gtest/gtest.h>

#include <unordered_set>

namespace tintrod {
namespace {

TEST(SafeStem, KeepsPlainNamesAndDefusesTheRest) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"zb1a_256", "zb1a_256"},
      {"Mixed-Case+1.v2", "Mixed-Case+1.v2"},
      {"../up", "_._up"},
      {"a/b\\c", "a_b_c"},
      {"..", "_."},
      {".", "_"},
      {".rc", "_rc"},
      {"", "texture"},
      {"tab\there", "tab_here"},
      {std::string("nul\0x", 5), "nul_x"},
      {"\x7F\xFF", "__"},
      {"C:drive", "C_drive"},
      {"a b", "a_b"},
      {"*?<>|\"", "______"},
  };
  for (const auto& [name, stem] : cases) EXPECT_EQ(safeStem(name), stem) << name;
}

TEST(FileNamer, NumbersClashesIgnoringCaseAndLevelFiles) {
  FileNamer namer;
  // In order: each claim sees every stem handed out before it.
  const std::vector<std::pair<std::string, std::string>> claims = {
      {"zbtip", "zbtip"}, {"zbtip", "zbtip-2"}, {"ZBTIP", "ZBTIP-3"}, {"zbtip-2", "zbtip-2-2"},
      {"a/b", "a_b"},     {"a_b", "a_b-2"},     {"x.mip1", "x.mip1"}, {"x", "x-2"},
      {"", "texture"},    {"", "texture-2"},
  };
  for (const auto& [name, stem] : claims) EXPECT_EQ(namer.claim(name), stem) << name;
}

TEST(FileNamer, SixteenThousandOfOneNameGetDistinctStems) {
  FileNamer namer;
  std::unordered_set<std::string> stems;
  for (int i = 0; i < 16000; ++i) stems.insert(namer.claim("zbtip"));
  EXPECT_EQ(stems.size(), 16000u);
  EXPECT_TRUE(stems.contains("zbtip-16000"));
  // A later name that a suffix already took is numbered past it.
  EXPECT_EQ(namer.claim("zbtip-2"), "zbtip-2-2");
}

}  // namespace
}  // namespace tintrod
