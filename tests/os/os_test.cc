// The rest of the seam, one table per call, against whichever implementation
// the build chose.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "os/os.h"
#include "tests/support/open_file.h"
#include "tests/support/scratch.h"

namespace tintrod::testing {
namespace {

namespace fs = std::filesystem;

// Reading whole opens the same way; the cap is the largest file taken. A
// refusal says why in the open's own answer, with the system's code where
// the system refused (the seam itself refuses a folder or a FIFO it opened).
TEST(Seam, OpensOnlyRegularFilesAndTellsTheirLengthOrWhyNot) {
  using enum SystemErrorKind;
  ScratchDir dir;
  writeFile(dir / "plain", Bytes(5, 1));
  fs::create_directory(dir / "folder");
  const bool fifo = !kOnWindows && makeFifo(dir / "fifo");
  const struct {
    const char* name;
    std::int64_t size;  // -1: refused
    SystemErrorKind why = kOther;
    bool systemCode = false;
  } cases[] = {{"plain", 5},
               {"folder", -1, kFolder},
               {"absent", -1, kMissing, true},
               {"absent/a", -1, kMissing, true},
               {"plain/a", -1, kMissing, true},
               {fifo ? "fifo" : "folder", -1, fifo ? kNotRegularFile : kFolder}};
  for (const auto& test : cases) {
    const std::string path = (dir / test.name).string();
    const SystemResult<os::OpenedFile> opened = os::openRegularFile(path);
    const OpenFile file(opened.ok() ? opened->file : nullptr);
    EXPECT_EQ(opened.ok(), test.size >= 0) << test.name;
    os::LargeBuffer whole;
    const SystemStatus read = os::readWholeFile(path, 5, whole);
    if (opened.ok()) {
      EXPECT_EQ(opened->size, test.size) << test.name;
      EXPECT_TRUE(read.ok()) << test.name;
      EXPECT_EQ(Bytes(whole.get(), whole.get() + whole.size()), Bytes(5, 1)) << test.name;
      EXPECT_EQ(os::readWholeFile(path, 4, whole).error().kind, kTooLarge) << test.name;
    } else {
      EXPECT_EQ(opened.status().error().kind, test.why) << test.name;
      EXPECT_EQ(opened.status().error().code != 0, test.systemCode) << test.name;
      EXPECT_EQ(read.error().kind, test.why) << test.name;
    }
  }
}

TEST(Seam, KnowsAFileUnderAnyOfItsNames) {
  ScratchDir dir;
  writeFile(dir / "model", Bytes(5, 1));
  writeFile(dir / "copy", Bytes(5, 1));
  fs::create_hard_link(dir / "model", dir / "second name");
  const OpenFile model = openForReading((dir / "model").string());
  ASSERT_NE(model, nullptr);
  const struct {
    const char* name;
    bool same;
  } cases[] = {{"model", true}, {"second name", true}, {"copy", false}, {"absent", false}};
  for (const auto& test : cases) {
    EXPECT_EQ(os::isSameFile(model.get(), (dir / test.name).string()), test.same) << test.name;
  }
}

// Folders that do not exist yet are taken as the run will make them.
TEST(Seam, PlansNamesThroughFoldersNotMadeYet) {
  ScratchDir dir;
  fs::create_directory(dir / "made");
  const fs::path base = fs::canonical(dir.path());
  const struct {
    const char* spelled;
    const char* planned;
  } cases[] = {{"new/../model", "model"},
               {"made/new/./../x", "made/x"},
               {"new/a/../../made/x", "made/x"},
               {"made/../new/x", "new/x"},
               {"made/", "made"},
               {"new/.", "new"}};
  for (const auto& test : cases) {
    const std::string planned = os::plannedPath(utf8String(dir.path()) + "/" + test.spelled);
    EXPECT_EQ(utf8Path(planned), base / test.planned) << test.spelled;
  }
}

// The set-user-ID, set-group-ID and sticky bits never pass to a copy.
TEST(Seam, CopiesOnlyPermissionBits) {
  if (kOnWindows) GTEST_SKIP() << "Windows files carry no permission bits";
  ScratchDir dir;
  writeFile(dir / "model", Bytes{1});
  const struct {
    unsigned mode;
    unsigned copied;
  } cases[] = {{06777, 0777}, {0640, 0640}, {01755, 0755}, {0444, 0444}};
  for (const auto& test : cases) {
    fs::permissions(dir / "model", static_cast<fs::perms>(test.mode));
    const OpenFile model = openForReading((dir / "model").string());
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(os::copyPermissions(model.get()), test.copied) << std::oct << test.mode;
  }
}

TEST(Seam, MakesFoldersOnlyWhereNoFileStands) {
  ScratchDir dir;
  writeFile(dir / "file", Bytes{1});
  const struct {
    fs::path folder;
    bool made;
  } cases[] = {{dir / "a" / "b" / "c", true},
               {dir / "a", true},
               {dir / "file", false},
               {dir / "file" / "below", false}};
  for (const auto& test : cases) {
    EXPECT_EQ(os::makeFolders(test.folder.string()).ok(), test.made) << test.folder;
    EXPECT_EQ(fs::is_directory(test.folder), test.made) << test.folder;
  }
}

// The fixed names are looked up in the folder changed into, and a refused
// change leaves the current folder where it was.
TEST(Seam, ChangesOnlyIntoFolders) {
  ScratchDir dir;
  fs::create_directory(dir / "folder");
  writeFile(dir / "folder" / "inside", Bytes{1});
  writeFile(dir / "file", Bytes{1});
  const fs::path start = fs::current_path();
  const struct {
    fs::path folder;
    bool changed;
  } cases[] = {
      {dir / "file", false}, {dir / "missing", false}, {"", false}, {dir / "folder", true}};
  for (const auto& test : cases) {
    EXPECT_EQ(os::changeFolder(test.folder.string()).ok(), test.changed) << test.folder;
    EXPECT_EQ(os::entryKind("inside") == os::EntryKind::kRegularFile, test.changed) << test.folder;
  }
  fs::current_path(start);
}

// A region, where the system gives one, holds every byte asked for and
// starts on a boundary that suits huge pages.
TEST(Seam, LargeRegionsHoldEveryByte) {
  for (const std::size_t size :
       {std::size_t{100}, std::size_t{2} << 20, (std::size_t{5} << 20) + 7}) {
    std::uint8_t* region = os::mapLargeRegion(size);
    if (region == nullptr) continue;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(region) % (std::uintptr_t{2} << 20), 0u) << size;
    std::fill_n(region, size, 0x5A);
    EXPECT_EQ(std::count(region, region + size, 0x5A), static_cast<std::ptrdiff_t>(size)) << size;
    os::releaseLargeRegion(region, size);
  }
}

}  // namespace
}  // namespace tintrod::testing
