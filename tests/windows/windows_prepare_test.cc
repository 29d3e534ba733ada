// tintrod-prepare on Windows: the picture and the output named with letters
// beyond the ANSI code page reach the files through wide-character calls.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/picture/picture_files.h"
#include "tests/support/scratch.h"
#include "util/failure.h"

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
  EXPECT_EQ(failed.rawOutput, "can't find picture " + absent + "\r\n");
  EXPECT_EQ(failed.exitStatus, 1);
}

// cmd hands wildcards to the program, as the program's own to expand.
TEST(WindowsPrepare, WildcardsExpandToThePicturesTheyMatch) {
  ScratchDir dir;
  fs::create_directory(dir.path() / utf8Path(kForeignFolder));
  for (const char* name : {"/shaft.png", "/Wrap.PNG", "/notes.txt"}) {
    writeFile(dir.path() / utf8Path(kForeignFolder + name), pngOf(2, 2, 3, Bytes(12, 90)));
  }
  const ProcessResult result =
      runProcess(TINTROD_PREPARE_BINARY, {"--into", "out", kForeignFolder + "/*.png"}, dir.path());
  const std::string noTexture = "no texture in out\n";
  EXPECT_EQ(result.output, "connector: " + noTexture + "point inlay 1: " + noTexture +
                               "point inlay 2: " + noTexture + "point inlay 3: " + noTexture +
                               "wrap: " + kForeignFolder + "/Wrap.PNG\nbutt: " + noTexture +
                               "ferrule: " + noTexture + "shaft: " + kForeignFolder +
                               "/shaft.png\nbumper: " + noTexture +
                               "run this, then tintrod-prepare again for the tintrod command:\n"
                               "tintrod-extract cueTemplate.obp out\n");
  EXPECT_EQ(listDirectory(dir.path() / "out"),
            (std::vector<std::string>{"shaftbmp.bmp", "wrapbmp.bmp"}));
  // A pattern that matches nothing stays as typed, and is said to match nothing.
  const ProcessResult none =
      runProcess(TINTROD_PREPARE_BINARY, {"--into", "out", "*.jpg"}, dir.path());
  EXPECT_EQ(none.output, failureLine(Failure::kNoPictureMatches, "*.jpg"));
}

}  // namespace
}  // namespace tintrod::testing
