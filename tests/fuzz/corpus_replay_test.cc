// Every committed fuzz input, replayed through its target's body: the
// findings stay fixed and the interesting inputs keep passing their checks.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/fuzz_entries.h"
#include "tests/support/scratch.h"

namespace tintrod::testing {
namespace {

namespace fs = std::filesystem;

using FuzzEntry = void (*)(const std::uint8_t*, std::size_t);

struct Target {
  const char* name;
  FuzzEntry entry;
};

constexpr Target kTargets[] = {
    {"template", fuzz::fuzzTemplate},    {"bitmap", fuzz::fuzzBitmap},
    {"pixel_rows", fuzz::fuzzPixelRows}, {"run", fuzz::fuzzRun},
    {"prepare", fuzz::fuzzPrepare},
};

void PrintTo(const Target& target, std::ostream* out) { *out << target.name; }

class CorpusReplay : public ::testing::TestWithParam<Target> {};

TEST_P(CorpusReplay, EveryInputKeepsItsProperties) {
  const fs::path folder = fs::path(TINTROD_FUZZ_CORPUS_DIR) / GetParam().name;
  ASSERT_TRUE(fs::is_directory(folder)) << folder;
  std::size_t replayed = 0;
  for (const auto& name : listDirectory(folder)) {
    SCOPED_TRACE(name);
    const Bytes input = readFile(folder / name);
    // The targets print what the tool prints; only their checks matter here.
    ::testing::internal::CaptureStdout();
    GetParam().entry(input.data(), input.size());
    ::testing::internal::GetCapturedStdout();
    ++replayed;
  }
  EXPECT_GT(replayed, 0u);
}

INSTANTIATE_TEST_SUITE_P(Targets, CorpusReplay, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tintrod::testing
