// The output of a run whose folder changes under it: the run, paused at each
// step of making its new file, finds the template replaced, truncated or the
// output's name taken, and must still give the output of the template it read
// or fail with the folder as it was.
#include "tool/output_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "os/os.h"
#include "template/chunk_table_reader.h"
#include "template/format.h"
#include "tests/support/os_double.h"
#include "tests/tool/skin_fixture.h"
#include "tool/skin_run.h"

namespace tintrod::testing {
namespace {

namespace fs = std::filesystem;

// The one action a test takes at the one step it chose, and the folder it
// leaves, less whatever the run itself has made by then: what a failure must
// leave too.
os::Step pauseAt = os::Step::kCreated;
std::function<void()> actionAtPause;
FolderSnapshot beforeRun;
FolderSnapshot afterAction;
void actAtPause(os::Step step) {
  if (step != pauseAt || !actionAtPause) return;
  std::exchange(actionAtPause, nullptr)();
  afterAction.clear();
  for (auto& [name, bytes] : snapshotOf(".")) {
    if (beforeRun.contains(name) || name == kOutputFileName) afterAction[name] = bytes;
  }
}

// Runs the whole pass in this process, in the fixture's folder.
class SwappedFolderTest : public ::testing::TestWithParam<bool> {
 protected:
  SwappedFolderTest() : previous_(fs::current_path()) {
    preferNamedTemporaries(GetParam());
    setStepHook(actAtPause);
    fs::current_path(fixture_.dir().path());
    fixture_.writeBitmaps();
    fixture_.writeTemplate(SkinFixture::templateWith(SkinFixture::slotTextures()));
    writeFile(fixture_.dir() / "other.obp",
              SkinFixture::templateWith({makeTexture("zbother", 8, 8, 3)}));
    writeFile(fixture_.dir() / "victim", Bytes{4, 4});
  }
  ~SwappedFolderTest() override {
    fs::current_path(previous_);
    setStepHook(nullptr);
    preferNamedTemporaries(false);
  }

  std::optional<std::string> runHere() {
    ChunkTableReader reader;
    ::testing::internal::CaptureStdout();
    auto failure = failureOf([&] { return runSkinning(fixture_.bitmapNames(), reader); });
    ::testing::internal::GetCapturedStdout();
    return failure;
  }

  SkinFixture fixture_;
  fs::path previous_;
};

INSTANTIATE_TEST_SUITE_P(BothWays, SwappedFolderTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Named" : "Unnamed"; });

TEST_P(SwappedFolderTest, GivesTheOutputOfTheTemplateReadOrFailsCleanly) {
  if (kOnWindows) {
    GTEST_SKIP() << "on Windows the run's sharing keeps the template from being rewritten, "
                    "renamed over or removed (tests/windows), and "
                 << kNoSymbolicLinks;
  }
  ASSERT_EQ(runHere(), std::nullopt);
  const Bytes expected = readFile(kOutputFileName);
  const Bytes earlier{1, 2, 3};
  const struct {
    const char* name;
    os::Step step;
    std::function<void()> action;
    bool fails;
  } cases[] = {
      {"template rewritten shorter before the copy", os::Step::kCreated,
       [] { fs::copy_file("other.obp", kTemplateFileName, fs::copy_options::overwrite_existing); },
       true},
      {"template renamed over before the copy", os::Step::kCreated,
       [] {
         fs::copy_file("other.obp", "swap", fs::copy_options::overwrite_existing);
         fs::rename("swap", kTemplateFileName);
       },
       false},
      {"template truncated before the copy", os::Step::kCreated,
       [] { fs::resize_file(kTemplateFileName, 100); }, true},
      {"template removed before the patch", os::Step::kCopied,
       [] { fs::remove(kTemplateFileName); }, false},
      {"output made a link before it is named", os::Step::kPublishing,
       [] {
         fs::remove(kOutputFileName);
         fs::create_symlink("victim", kOutputFileName);
       },
       false},
      {"output made a folder before it is named", os::Step::kPublishing,
       [] {
         fs::remove(kOutputFileName);
         fs::create_directory(kOutputFileName);
       },
       true},
  };
  for (const auto& test : cases) {
    fixture_.writeTemplate(SkinFixture::templateWith(SkinFixture::slotTextures()));
    fs::remove_all(kOutputFileName);
    writeFile(kOutputFileName, earlier);
    pauseAt = test.step;
    actionAtPause = test.action;
    beforeRun = snapshotOf(".");
    const auto failure = runHere();
    EXPECT_EQ(actionAtPause, nullptr) << test.name << ": never paused";
    EXPECT_EQ(readFile("victim"), (Bytes{4, 4})) << test.name;
    if (test.fails) {
      EXPECT_EQ(failure, failureLine(Failure::kOutputOpen)) << test.name;
      EXPECT_TRUE(snapshotOf(".") == afterAction) << test.name << ": the folder changed";
    } else {
      EXPECT_EQ(failure, std::nullopt) << test.name;
      EXPECT_EQ(readFile(kOutputFileName), expected) << test.name;
      FolderSnapshot published = snapshotOf(".");
      published.erase(kOutputFileName);
      afterAction.erase(kOutputFileName);
      EXPECT_TRUE(published == afterAction) << test.name << ": more than the output changed";
    }
  }
}

}  // namespace
}  // namespace tintrod::testing
