// Files written by common image programs, each with the palette and indices
// an independent decoder read from it.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "bitmap/validate_bitmap.h"
#include "tests/support/scratch.h"
#include "tests/tool/texture_fixture.h"
#include "tool/load_bitmap.h"

namespace tintrod::testing {
namespace {

const std::filesystem::path kWriters = std::filesystem::path(TINTROD_TESTDATA_DIR) / "bmp-writers";

struct Expectation {
  std::string file;
  std::string outcome;  // "accept", or the start of the refusing message
};

// The string value that follows `"key":` from `from` on.
std::string valueAfter(const std::string& text, const std::string& key, std::size_t& from) {
  from = text.find("\"" + key + "\"", from);
  if (from == std::string::npos) return {};
  const std::size_t open = text.find('"', text.find(':', from) + 1);
  const std::size_t close = text.find('"', open + 1);
  from = close;
  return text.substr(open + 1, close - open - 1);
}

// Each entry names its file before its expectation; the top-level
// "tool_expectation" describes the field and precedes every "file".
std::vector<Expectation> readManifest() {
  std::ifstream in(kWriters / "manifest.json");
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<Expectation> expectations;
  std::size_t at = 0;
  while (true) {
    std::string file = valueAfter(text, "file", at);
    if (at == std::string::npos) break;
    std::string outcome = valueAfter(text, "tool_expectation", at);
    if (at == std::string::npos) break;
    expectations.push_back({file, outcome});
  }
  return expectations;
}

std::int32_t sideOf(const std::string& file) {
  for (std::int32_t side : {256, 128, 32}) {
    if (file.find("-" + std::to_string(side) + ".") != std::string::npos) return side;
  }
  return 0;
}

TEST(BitmapWriters, LoadLikeAnIndependentDecoder) {
  const std::vector<Expectation> expectations = readManifest();
  ASSERT_EQ(expectations.size(), 17u);
  for (const auto& [file, outcome] : expectations) {
    SCOPED_TRACE(file);
    const std::string path = (kWriters / file).string();
    const std::string stem = file.substr(0, file.size() - 4);
    const std::int32_t side = sideOf(file);
    ASSERT_NE(side, 0);
    TextureFixture texture(static_cast<std::uint16_t>(side), static_cast<std::uint16_t>(side));
    TextureRecord record = texture.record();
    const auto failure = failureOf([&] {
      const Status valid = validateBitmap(side, side, path);
      return valid.ok() ? loadBitmapIntoTexture(record, path) : valid;
    });
    if (outcome != "accept") {
      ASSERT_TRUE(failure.has_value());
      EXPECT_EQ(failure->rfind(outcome.substr(0, outcome.find(" (")), 0), 0u) << *failure;
      continue;
    }
    EXPECT_EQ(failure, std::nullopt);
    EXPECT_EQ(texture.palette(), readFile(kWriters / (stem + ".pal.bin")));
    EXPECT_EQ(texture.levelZero(static_cast<std::size_t>(side * side)),
              readFile(kWriters / (stem + ".idx.bin")));
  }
}

}  // namespace
}  // namespace tintrod::testing
