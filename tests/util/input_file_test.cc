#include "util/input_file.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <string>

#include "tests/support/scratch.h"

namespace tintrod::testing {
namespace {

TEST(InputFile, OpensOnlyRegularFiles) {
  ScratchDir dir;
  writeFile(dir / "plain", Bytes(5, 1));
  std::filesystem::create_directory(dir / "folder");
  InputFile file;
  EXPECT_TRUE(file.open((dir / "plain").string()).ok());
  for (const char* name : {"absent", "folder"}) {
    EXPECT_FALSE(file.open((dir / name).string()).ok()) << name;
    EXPECT_FALSE(file.isOpen()) << name;
    EXPECT_EQ(file.remaining(), 0) << name;
  }
}

TEST(InputFile, RefusesAFifoWithoutWaiting) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no FIFOs in its file system (named pipes: tests/windows)";
#else
  ScratchDir dir;
  // Nobody ever opens the FIFO for writing: the open must not wait for it.
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  InputFile file;
  EXPECT_FALSE(file.open((dir / "fifo").string()).ok());
  EXPECT_FALSE(file.isOpen());
#endif
}

TEST(InputFile, ReadsAndMovesOnlyWithinTheFile) {
  ScratchDir dir;
  writeFile(dir / "plain", Bytes{1, 2, 3, 4, 5});
  InputFile file;
  ASSERT_TRUE(file.open((dir / "plain").string()).ok());
  std::uint8_t bytes[8] = {};
  EXPECT_TRUE(file.read(bytes, 2));
  EXPECT_EQ(file.remaining(), 3);
  EXPECT_TRUE(file.skip(0));
  EXPECT_FALSE(file.skip(4));
  EXPECT_FALSE(file.skip(-3));
  EXPECT_EQ(file.position(), 2);
  EXPECT_TRUE(file.skip(3));
  EXPECT_TRUE(file.skip(-5));
  EXPECT_FALSE(file.seekTo(6));
  EXPECT_FALSE(file.read(bytes, 6));
  EXPECT_EQ(bytes[4], 5);
}

}  // namespace
}  // namespace tintrod::testing
