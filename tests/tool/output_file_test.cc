#include "tool/output_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "template/format.h"
#include "tests/support/scratch.h"
#include "tests/support/template_builder.h"

namespace tintrod::testing {
namespace {

namespace fs = std::filesystem;

// The output goes to the current folder, so each test runs inside a scratch
// folder and returns to where it was.
class OutputFileTest : public ::testing::Test {
 protected:
  OutputFileTest() : previous_(fs::current_path()) { fs::current_path(dir_.path()); }
  ~OutputFileTest() override { fs::current_path(previous_); }

  const ScratchDir& dir() const { return dir_; }

 private:
  ScratchDir dir_;
  fs::path previous_;
};

const Bytes kTemplate = buildTemplate({textureTableChunk({})});
const Bytes kEarlierOutput(3, 1);

TEST_F(OutputFileTest, CopyReplacesTheOutputAndLeavesNoTemporary) {
  writeFile(dir() / kTemplateFileName, kTemplate);
  writeFile(dir() / kOutputFileName, kEarlierOutput);
  EXPECT_EQ(failureOf([] { writeSkinnedCopy(TextureTable{}); }), std::nullopt);
  EXPECT_EQ(readFile(dir() / kOutputFileName), kTemplate);
  EXPECT_EQ(listDirectory(dir().path()),
            (std::vector<std::string>{kOutputFileName, kTemplateFileName}));
}

// Whatever already holds the temporary name is someone else's: it is neither
// written through, nor removed, nor renamed into place.
TEST_F(OutputFileTest, LeavesAnythingUnderTheTemporaryNameAlone) {
  writeFile(dir() / kTemplateFileName, kTemplate);
  writeFile(dir() / "victim", Bytes(7, 2));
  const fs::path temporary = dir() / temporaryOutputName();
  const std::pair<std::string, std::function<void()>> plants[] = {
      {"link to a file", [&] { fs::create_symlink("victim", temporary); }},
      {"dangling link", [&] { fs::create_symlink("nowhere", temporary); }},
      {"empty folder", [&] { fs::create_directory(temporary); }},
      {"stale file", [&] { writeFile(temporary, Bytes(5, 3)); }},
  };
  for (const auto& [name, plant] : plants) {
    fs::remove_all(temporary);
    plant();
    writeFile(dir() / kOutputFileName, kEarlierOutput);
    const fs::file_status planted = fs::symlink_status(temporary);
    EXPECT_EQ(failureOf([] { writeSkinnedCopy(TextureTable{}); }),
              failureLine(Failure::kOutputOpen))
        << name;
    EXPECT_EQ(fs::symlink_status(temporary).type(), planted.type()) << name;
    EXPECT_EQ(readFile(dir() / "victim"), Bytes(7, 2)) << name;
    EXPECT_FALSE(fs::exists(dir() / "nowhere")) << name;
    EXPECT_EQ(readFile(dir() / kOutputFileName), kEarlierOutput) << name;
  }
}

}  // namespace
}  // namespace tintrod::testing
