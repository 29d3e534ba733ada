// The Windows side of the seam where it differs from the POSIX one: devices
// and pipes, sharing, the read-only attribute, paths past MAX_PATH.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "os/os.h"
#include "tests/support/open_file.h"
#include "tests/support/scratch.h"

namespace tintrod::testing {
namespace {

namespace fs = std::filesystem;

bool publishes(const std::string& target, const Bytes& bytes) {
  os::NewFile file;
  return file.create(target, os::kNewFilePermissions).ok() && file.append(bytes).ok() &&
         file.publish().ok();
}

TEST(WindowsSeam, RefusesDevicesAndPipesWithoutWaiting) {
  const std::string pipeName = "\\\\.\\pipe\\tintrod-test-" + std::to_string(GetCurrentProcessId());
  // A server nobody serves: opening it as a file must not wait for it.
  const HANDLE pipe =
      CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
  ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
  for (const std::string& name : {std::string("NUL"), std::string("CON"), pipeName}) {
    EXPECT_EQ(openForReading(name), nullptr) << name;
  }
  CloseHandle(pipe);
}

// While a run reads the template nobody can change it under the run.
TEST(WindowsSeam, AnOpenInputCannotBeChangedOrReplaced) {
  ScratchDir dir;
  writeFile(dir / "model", Bytes{1, 2, 3});
  writeFile(dir / "other", Bytes{4});
  const OpenFile model = openForReading((dir / "model").string());
  ASSERT_NE(model, nullptr);
  std::error_code error;
  EXPECT_FALSE(
      fs::copy_file(dir / "other", dir / "model", fs::copy_options::overwrite_existing, error));
  fs::rename(dir / "other", dir / "model", error);
  EXPECT_TRUE(error);
  EXPECT_FALSE(fs::remove(dir / "model", error));
  EXPECT_FALSE(publishes((dir / "model").string(), Bytes{5}));
  EXPECT_EQ(readFile(dir / "model"), (Bytes{1, 2, 3}));
  EXPECT_EQ(listDirectory(dir.path()), (std::vector<std::string>{"model", "other"}));
}

// A folder or a read-only file under the name stays, and so does the rest of
// the folder; an ordinary file is replaced.
TEST(WindowsSeam, ReplacesOnlyAWritableFile) {
  ScratchDir dir;
  const struct {
    const char* name;
    void (*plant)(const fs::path& at);
    bool published;
  } cases[] = {
      {"ordinary file", [](const fs::path& at) { writeFile(at, Bytes{9}); }, true},
      {"folder", [](const fs::path& at) { fs::create_directory(at); }, false},
      {"read-only file",
       [](const fs::path& at) {
         writeFile(at, Bytes{9});
         fs::permissions(at, fs::perms::all, fs::perm_options::remove);
       },
       false},
  };
  for (const auto& test : cases) {
    const fs::path target = dir / test.name;
    test.plant(target);
    EXPECT_EQ(publishes(target.string(), Bytes{6, 6}), test.published) << test.name;
    if (fs::is_regular_file(target)) {
      EXPECT_EQ(readFile(target), (test.published ? Bytes{6, 6} : Bytes{9})) << test.name;
    }
  }
  EXPECT_EQ(listDirectory(dir.path()),
            (std::vector<std::string>{"folder", "ordinary file", "read-only file"}));
}

// UTF-8 names beyond the ANSI code page, and a folder chain well past 260
// characters, through every call that takes a path.
TEST(WindowsSeam, TakesAnyLettersAndAnyLength) {
  ScratchDir dir;
  std::string deep = utf8String(dir.path()) + "/\xE7\x90\x83\xE6\x9D\x86-\xC3\xBC";
  while (deep.size() < 400) deep += "/forty-characters-of-folder-name-0000000";
  ASSERT_TRUE(os::makeFolders(deep).ok());
  const std::string target = deep + "/\xE2\x98\x83.bin";
  ASSERT_TRUE(publishes(target, Bytes{1, 2, 3}));
  ASSERT_TRUE(publishes(target, Bytes{4, 5}));
  std::int64_t size = 0;
  const OpenFile file = openForReading(target, &size);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(size, 2);
  EXPECT_TRUE(os::isSameFile(file.get(), target));
  EXPECT_FALSE(os::makeFolders(target + "/below").ok());
}

}  // namespace
}  // namespace tintrod::testing

namespace tintrod::testing {
namespace {

TEST(OutputSafetyTest, SignalsFileSizeLimitAndUmask) {
  GTEST_SKIP() << "Windows has no POSIX signals, RLIMIT_FSIZE or umask; a killed run's "
                  "temporary goes with its handle (FileDispositionInfo), see os_windows.cc";
}

}  // namespace
}  // namespace tintrod::testing
