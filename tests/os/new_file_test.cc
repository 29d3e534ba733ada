// The whole-or-nothing output, run against whichever seam the build chose,
// once for each way it can make the file: unnamed and under a temporary name.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "os/os.h"
#include "tests/support/open_file.h"
#include "tests/support/os_double.h"
#include "tests/support/scratch.h"

namespace tintrod::testing {
namespace {

namespace fs = std::filesystem;

std::vector<os::Step> stepsSeen;

// The file of the set that failed, or nothing once all are replaced.
std::optional<std::size_t> failedFileOf(std::span<const os::FileContent> files) {
  std::size_t failed = files.size();
  const SystemStatus replaced = os::replaceFilesTogether(files, failed);
  if (replaced.ok()) return std::nullopt;
  return failed;
}
void recordStep(os::Step step) { stepsSeen.push_back(step); }

class NewFileTest : public ::testing::TestWithParam<bool> {
 protected:
  NewFileTest() { preferNamedTemporaries(GetParam()); }
  ~NewFileTest() override {
    preferNamedTemporaries(false);
    setStepHook(nullptr);
  }

  std::string target() const { return (dir_ / "out.bin").string(); }
  std::vector<std::string> listing() const { return listDirectory(dir_.path()); }

  ScratchDir dir_;
};

INSTANTIATE_TEST_SUITE_P(BothWays, NewFileTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Named" : "Unnamed"; });

TEST_P(NewFileTest, AppearsWholeOnlyWhenPublished) {
  writeFile(dir_ / "source", Bytes{1, 2, 3, 4, 5, 6});
  writeFile(dir_ / "out.bin", Bytes{9});
  const OpenFile source = openForReading((dir_ / "source").string());
  ASSERT_NE(source, nullptr);
  ASSERT_EQ(std::fseek(source.get(), 4, SEEK_SET), 0);
  stepsSeen.clear();
  setStepHook(recordStep);
  {
    os::NewFile file;
    ASSERT_TRUE(file.create(target(), os::kNewFilePermissions).ok());
    // The copy starts at offset 0 whatever the stream's position, and leaves it.
    ASSERT_TRUE(file.copyFrom(source.get(), 5).ok());
    EXPECT_EQ(std::ftell(source.get()), 4);
    ASSERT_TRUE(file.append(Bytes{7, 8}).ok());
    ASSERT_TRUE(file.writeAt(1, Bytes{0xA, 0xB}).ok());
    EXPECT_FALSE(file.writeAt(6, Bytes{0xC, 0xD}).ok());
    EXPECT_FALSE(file.writeAt(-1, Bytes{0xC}).ok());
    EXPECT_EQ(file.size(), 7);
    EXPECT_EQ(readFile(target()), Bytes{9});
    ASSERT_TRUE(file.publish().ok());
  }
  EXPECT_EQ(readFile(target()), (Bytes{1, 0xA, 0xB, 4, 5, 7, 8}));
  EXPECT_EQ(listing(), (std::vector<std::string>{"out.bin", "source"}));
  EXPECT_EQ(stepsSeen,
            (std::vector<os::Step>{os::Step::kCreated, os::Step::kCopied, os::Step::kPublishing}));
}

// Skipping the flushes changes what a power cut may lose, never what the
// folder shows: the file still appears whole, and no temporary is left.
TEST_P(NewFileTest, PublishingWithoutFlushesStillReplacesWhole) {
  writeFile(dir_ / "out.bin", Bytes{9});
  {
    os::NewFile file;
    ASSERT_TRUE(file.create(target(), os::kNewFilePermissions).ok());
    ASSERT_TRUE(file.append(Bytes{1, 2, 3}).ok());
    ASSERT_TRUE(file.publish(os::NewFile::Durability::kAtomicOnly).ok());
  }
  EXPECT_EQ(readFile(target()), (Bytes{1, 2, 3}));
  EXPECT_EQ(listing(), (std::vector<std::string>{"out.bin"}));
}

// Every way of giving up leaves the folder as it was: the earlier file keeps
// its bytes and no temporary stays beside it.
TEST_P(NewFileTest, GivingUpLeavesTheFolderAsItWas) {
  writeFile(dir_ / "source", Bytes(100, 3));
  writeFile(dir_ / "out.bin", Bytes{9});
  const OpenFile source = openForReading((dir_ / "source").string());
  ASSERT_NE(source, nullptr);
  const struct {
    const char* name;
    bool (*step)(os::NewFile& file, std::FILE* source);
  } cases[] = {
      {"dropped unpublished", [](os::NewFile&, std::FILE*) { return true; }},
      {"source shorter than asked",
       [](os::NewFile& file, std::FILE* from) { return file.copyFrom(from, 101).ok(); }},
      {"written then dropped",
       [](os::NewFile& file, std::FILE* from) {
         return file.copyFrom(from, 100).ok() && file.append(Bytes(5, 1)).ok();
       }},
  };
  for (const auto& test : cases) {
    {
      os::NewFile file;
      ASSERT_TRUE(file.create(target(), os::kNewFilePermissions).ok()) << test.name;
      (void)test.step(file, source.get());
    }
    EXPECT_EQ(readFile(target()), Bytes{9}) << test.name;
    EXPECT_EQ(listing(), (std::vector<std::string>{"out.bin", "source"})) << test.name;
  }
}

TEST_P(NewFileTest, ReplacesLinksButNeverAFolderOrAFifo) {
  if (kOnWindows) GTEST_SKIP() << kNoSymbolicLinks << " (tests/windows: never a folder)";
  writeFile(dir_ / "victim", Bytes{4});
  const struct {
    const char* name;
    void (*plant)(const fs::path& at);
    bool published;
  } cases[] = {
      {"nothing", [](const fs::path&) {}, true},
      {"link to a file", [](const fs::path& at) { fs::create_symlink("victim", at); }, true},
      {"dangling link", [](const fs::path& at) { fs::create_symlink("nowhere", at); }, true},
      {"folder", [](const fs::path& at) { fs::create_directory(at); }, false},
      {"FIFO", [](const fs::path& at) { ASSERT_TRUE(makeFifo(at)); }, false},
  };
  for (const auto& test : cases) {
    fs::remove_all(target());
    test.plant(target());
    {
      os::NewFile file;
      ASSERT_TRUE(file.create(target(), os::kNewFilePermissions).ok()) << test.name;
      ASSERT_TRUE(file.append(Bytes{6, 6}).ok()) << test.name;
      EXPECT_EQ(file.publish().ok(), test.published) << test.name;
    }
    EXPECT_EQ(fs::is_regular_file(fs::symlink_status(target())), test.published) << test.name;
    EXPECT_EQ(readFile(dir_ / "victim"), Bytes{4}) << test.name;
    EXPECT_FALSE(fs::exists(dir_ / "nowhere")) << test.name;
    EXPECT_EQ(listing(), (std::vector<std::string>{"out.bin", "victim"})) << test.name;
  }
}

TEST_P(NewFileTest, CannotStartWhereThereIsNoFolder) {
  writeFile(dir_ / "file", Bytes{1});
  for (const fs::path& target : {dir_ / "absent" / "out.bin", dir_ / "file" / "out.bin"}) {
    os::NewFile file;
    EXPECT_FALSE(file.create(target.string(), os::kNewFilePermissions).ok()) << target;
    EXPECT_FALSE(file.append(Bytes{1}).ok()) << target;
    EXPECT_FALSE(file.publish().ok()) << target;
  }
  EXPECT_EQ(listing(), (std::vector<std::string>{"file"}));
}

// A set replaced together leaves every old file or every new one, and no
// temporary, whichever file's write or replacement fails.
TEST(FilesReplacedTogether, EveryOldFileOrEveryNewOne) {
  const struct {
    const char* name;
    os::SetStep step;
    int failingTime;  // 0: no injected failure
    void (*plant)(const fs::path& folder);
    std::optional<std::size_t> failed;
  } cases[] = {
      {"all replaced", os::SetStep::kWriting, 0, nullptr, std::nullopt},
      {"first write fails", os::SetStep::kWriting, 1, nullptr, 0},
      {"last write fails", os::SetStep::kWriting, 3, nullptr, 2},
      {"first replacement fails", os::SetStep::kReplacing, 1, nullptr, 0},
      {"second replacement fails", os::SetStep::kReplacing, 2, nullptr, 1},
      {"last replacement fails", os::SetStep::kReplacing, 3, nullptr, 2},
      {"a target is a folder", os::SetStep::kWriting, 0,
       [](const fs::path& folder) {
         fs::remove(folder / "c.bin");
         fs::create_directory(folder / "c.bin");
       },
       2},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    const ScratchDir dir;
    writeFile(dir / "a.bin", Bytes{1});
    writeFile(dir / "c.bin", Bytes{3});
    if (test.plant != nullptr) test.plant(dir.path());
    const FolderSnapshot before = snapshotOf(dir.path());
    const Bytes newA{4, 4};
    const Bytes newB{5};
    const Bytes newC{6, 6, 6};
    const os::FileContent files[] = {{(dir / "a.bin").string(), newA},
                                     {(dir / "b.bin").string(), newB},
                                     {(dir / "c.bin").string(), newC}};
    failSetStep(test.step, test.failingTime);
    EXPECT_EQ(failedFileOf(files), test.failed);
    failSetStep(test.step, 0);
    if (test.failed.has_value()) {
      EXPECT_EQ(snapshotOf(dir.path()), before);
    } else {
      EXPECT_EQ(snapshotOf(dir.path()),
                (FolderSnapshot{{"a.bin", newA}, {"b.bin", newB}, {"c.bin", newC}}));
    }
  }
}

// Windows cannot replace a file another program holds open, and says so
// before anything is replaced; elsewhere the holder keeps the old file.
TEST(FilesReplacedTogether, AFileHeldOpenIsFoundBeforeAnyIsReplaced) {
  const ScratchDir dir;
  writeFile(dir / "a.bin", Bytes{1});
  writeFile(dir / "b.bin", Bytes{2});
  const OpenFile held = openForReading((dir / "b.bin").string());
  ASSERT_NE(held, nullptr);
  const Bytes newA{4};
  const Bytes newB{5};
  const os::FileContent files[] = {{(dir / "a.bin").string(), newA},
                                   {(dir / "b.bin").string(), newB}};
  EXPECT_EQ(failedFileOf(files), kOnWindows ? std::optional<std::size_t>(1) : std::nullopt);
  EXPECT_EQ(readFile(dir / "a.bin"), kOnWindows ? Bytes{1} : newA);
  EXPECT_EQ(listDirectory(dir.path()), (std::vector<std::string>{"a.bin", "b.bin"}));
}

}  // namespace
}  // namespace tintrod::testing
