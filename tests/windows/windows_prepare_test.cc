// tintrod-prepare on Windows: the picture and the output named with letters
// beyond the ANSI code page reach the files through wide-character calls.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/prepare/picture_files.h"
#include "tests/support/scratch.h"

namespace tintrod::testing {
namespace {

namespace fs = std::filesystem;

const std::string kForeignFolder = "Bilder \xC3\xBC\xC3\x9F \xE7\x90\x83\xE6\x9D\x86";
const std::string kForeignPicture = kForeignFolder + "/\xC3\xA9t\xC3\xA9.png";
const std::string kForeignOutput = kForeignFolder + "/\xE2\x98\x83.bmp";

TEST(WindowsPrepare, ForeignPictureAndOutputNamesWork) {
  ScratchDir dir;
  fs::create_directory(dir.path() / utf8Path(kForeignFolder));
  writeFile(dir.path() / utf8Path(kForeignPicture), pngOf(2, 2, 3, Bytes(12, 90)));

  const ProcessResult prepared =
      runProcess(TINTROD_PREPARE_BINARY, {kForeignPicture, "zbrubber", kForeignOutput}, dir.path());
  EXPECT_EQ(prepared.exitStatus, 0) << prepared.output;
  const RgbPixels out = readBack(readFile(dir.path() / utf8Path(kForeignOutput)), 32, 32);
  EXPECT_EQ(out.at(16, 16), (Rgb{90, 90, 90}));

  // Piped, the name comes out as UTF-8 bytes, the line end as CRLF.
  const std::string absent = kForeignFolder + "/\xC3\xA0.png";
  const ProcessResult failed =
      runProcess(TINTROD_PREPARE_BINARY, {absent, "zbrubber", kForeignOutput}, dir.path());
  EXPECT_EQ(failed.rawOutput, "can't read picture " + absent + "\r\n");
  EXPECT_EQ(failed.exitStatus, 1);
}

}  // namespace
}  // namespace tintrod::testing
