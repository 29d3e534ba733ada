// tintrod-prepare as a user runs it: every failure line, and nothing written
// unless the whole bitmap is.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/prepare/picture_files.h"
#include "tests/support/bitmap_builder.h"
#include "tests/support/failure_line.h"
#include "util/coding.h"
#include "util/failure.h"

namespace tintrod::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kPngWidthOffset = 16;  // IHDR's width, then its height
constexpr int kBitCountOffset = 28;  // biBitCount, behind the file header and four fields

// A real PNG whose header then claims another size; only the header is read
// before the size is refused.
Bytes pngClaiming(std::uint32_t width, std::uint32_t height) {
  Bytes file = pngOf(1, 1, 3, {1, 2, 3});
  for (int i = 0; i < 4; ++i) {
    file[kPngWidthOffset + i] = std::uint8_t(width >> (24 - 8 * i));
    file[kPngWidthOffset + 4 + i] = std::uint8_t(height >> (24 - 8 * i));
  }
  return file;
}

class PrepareProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFile(dir / "picture.png", pngOf(3, 2, 3, Bytes(18, 200)));
    writeFile(dir / "garbage.png", Bytes(100, 'x'));
    const Bytes good = pngOf(40, 40, 3, Bytes(40 * 40 * 3, 7));
    writeFile(dir / "truncated.png", Bytes(good.begin(), good.begin() + 60));
    writeFile(dir / "wide.png", pngClaiming(20000, 10));
    writeFile(dir / "many-pixels.png", pngClaiming(8000, 8000));
    writeFile(dir / "previous.bmp", kPrevious);
    fs::create_directory(dir / "folder");
  }

  ProcessResult run(const std::vector<std::string>& arguments) const {
    return runProcess(TINTROD_PREPARE_BINARY, arguments, dir.path());
  }

  // One line, status 1, and the folder as it was, an earlier output included.
  void expectFailure(const std::vector<std::string>& arguments, const std::string& line) {
    SCOPED_TRACE(::testing::PrintToString(arguments));
    const auto before = listDirectory(dir.path());
    const ProcessResult result = run(arguments);
    expectFailureLine(result, line);
    EXPECT_EQ(listDirectory(dir.path()), before);
    EXPECT_EQ(readFile(dir / "previous.bmp"), kPrevious);
  }

  // An earlier output for the bumper: an 8-bit BMP of its slot's size.
  const Bytes kPrevious = encodeBitmap(makeBitmap(32, 32, 1, 4));
  ScratchDir dir;
};

TEST_F(PrepareProcess, EveryFailureLeavesNoOutput) {
  const std::string usage =
      "usage tintrod-prepare [--dither] [--fit crop|pad|stretch] [--background RRGGBB] "
      "{PICTURE SLOT OUTPUT | --into DIR PICTURE...}\n";
  const std::string slots =
      "; use connectbmp, pointbmp1, pointbmp2, pointbmp3, wrapbmp, buttbmp, ferrulebmp, "
      "shaftbmp, bumperbmp or a size WxH\n";
  const std::string formats = "; use a PNG, JPEG, BMP, GIF, TGA or WebP file\n";
  const std::string limits =
      " is too large; the limit is 32 megapixels, 16384 pixels a side and 256 MiB\n";
  expectFailure({}, usage);
  expectFailure({"picture.png", "shaftbmp"}, usage);
  expectFailure({"--fit", "zoom", "picture.png", "bumperbmp", "previous.bmp"}, usage);
  expectFailure({"--background", "black", "picture.png", "bumperbmp", "previous.bmp"}, usage);
  expectFailure({"picture.png", "shaftbnp", "previous.bmp"}, "unknown slot shaftbnp" + slots);
  expectFailure({"picture.png", "0x16", "previous.bmp"}, "unknown slot 0x16" + slots);
  expectFailure({"missing.png", "bumperbmp", "previous.bmp"}, "can't find picture missing.png\n");
  // Off a terminal, byte for byte.
  const std::string hostile = "\x1B]2;owned\x07\x1B[2J.jpg";
  expectFailure({hostile, "bumperbmp", "previous.bmp"}, "can't find picture " + hostile + "\n");
  expectFailure({"folder", "bumperbmp", "previous.bmp"},
                "picture folder is a folder; give a picture file\n");
  expectFailure({"garbage.png", "bumperbmp", "previous.bmp"},
                "can't decode picture garbage.png" + formats);
  expectFailure({"truncated.png", "bumperbmp", "previous.bmp"},
                "can't decode picture truncated.png" + formats);
  expectFailure({"wide.png", "bumperbmp", "previous.bmp"}, "picture wide.png" + limits);
  expectFailure({"many-pixels.png", "bumperbmp", "previous.bmp"},
                "picture many-pixels.png" + limits);
  expectFailure({"picture.png", "shaftbmp", "missing/out.bmp"},
                "can't write file missing/out.bmp\n");
  expectFailure({"picture.png", "shaftbmp", "folder"}, "can't write file folder\n");

  // The picture under any of its names, and files that this program did not write.
  fs::create_hard_link(dir / "picture.png", dir / "same.bmp");
  Bytes deeper = kPrevious;
  deeper[kBitCountOffset] = 24;
  writeFile(dir / "photo.bmp", deeper);
  expectFailure({"picture.png", "shaftbmp", "picture.png"},
                "can't write over picture picture.png\n");
  expectFailure({"picture.png", "shaftbmp", "same.bmp"}, "can't write over picture same.bmp\n");
  writeFile(dir / "notes.txt", Bytes(100, 'x'));
  expectFailure({"picture.png", "bumperbmp", "notes.txt"},
                "can't replace notes.txt, not an 8-bit BMP of the slot's size\n");
  expectFailure({"picture.png", "bumperbmp", "photo.bmp"},
                "can't replace photo.bmp, not an 8-bit BMP of the slot's size\n");
  // A drawing of the user's own is an 8-bit BMP too, but of another size.
  expectFailure({"picture.png", "shaftbmp", "previous.bmp"},
                "can't replace previous.bmp, not an 8-bit BMP of the slot's size\n");
  // Whether or not it exists, a BMP named as another format misleads every viewer.
  for (const char* output : {"garbage.png", "out.jpg", "out.JPEG", "sub/out.gif", "out.tga",
                             "out.heic", "out.webp", "out.Png"}) {
    expectFailure({"picture.png", "bumperbmp", output},
                  "can't write a BMP under the name " + std::string(output) + "; end it in .bmp\n");
  }
  if (makeFifo(dir / "fifo")) {
    expectFailure({"picture.png", "shaftbmp", "fifo"}, "can't write file fifo\n");
  }
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

// Running out of memory unwinds to the program's entry and prints a line,
// never aborts: under a 128 MiB address space, a 200 MiB picture file (within
// the limit, sparse here) cannot be held.
TEST_F(PrepareProcess, APictureTheMachineCannotHoldIsTooLarge) {
  if (kOnWindows) GTEST_SKIP() << "Windows has no ulimit";
  if (kSanitized) GTEST_SKIP() << "the sanitizers reserve far more address space than the limit";
  writeFile(dir / "huge.png", {});
  fs::resize_file(dir / "huge.png", std::uintmax_t{200} << 20);
  const auto before = listDirectory(dir.path());
  const ProcessResult result =
      runProcess("/bin/sh",
                 {"-c", "ulimit -v 131072 && exec \"$0\" huge.png bumperbmp previous.bmp",
                  TINTROD_PREPARE_BINARY},
                 dir.path());
  expectFailureLine(result, failureLine(Failure::kPictureTooLarge, "huge.png"));
  EXPECT_EQ(listDirectory(dir.path()), before);
  EXPECT_EQ(readFile(dir / "previous.bmp"), kPrevious);
}

TEST_F(PrepareProcess, WritesTheBitmapAndReplacesAnEarlierOne) {
  const ProcessResult result =
      run({"--fit", "pad", "--background", "#102030", "picture.png", "zbrubber", "previous.bmp"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.output, "wrote previous.bmp (32 x 32, 8-bit) from picture.png\n");
  EXPECT_EQ(listDirectory(dir.path()).size(), 7u);  // nothing beside it
  const RgbPixels out = readBack(readFile(dir / "previous.bmp"), 32, 32);
  EXPECT_EQ(out.at(16, 16), (Rgb{200, 200, 200}));
  EXPECT_EQ(out.at(16, 0), (Rgb{16, 32, 48}));
}

TEST_F(PrepareProcess, IntoWritesEveryPictureOrNone) {
  writeFile(dir / "Shaft.png", readFile(dir / "picture.png"));
  writeFile(dir / "zbshaft.png", readFile(dir / "picture.png"));
  writeFile(dir / "point inlay 2.png", readFile(dir / "picture.png"));
  writeFile(dir / "bumper.png", readFile(dir / "garbage.png"));
  expectFailure({"--into", "out", "Shaft.png", "picture.png"},
                failureLine(Failure::kPictureNamesNoSlot, "picture.png"));
  expectFailure({"--into", "out", "Shaft.png", "zbshaft.png"},
                failureLine(Failure::kPicturesShareSlot, "Shaft.png and zbshaft.png"));
  expectFailure({"--into", "out", "Shaft.png", "bumper.png"},
                failureLine(Failure::kPictureDecode, "bumper.png"));
  fs::create_directory(dir / "drawings");
  writeFile(dir / "drawings" / "shaftbmp.bmp", kPrevious);
  expectFailure({"--into", "drawings", "Shaft.png"},
                failureLine(Failure::kOutputNotBitmap, "drawings/shaftbmp.bmp"));
  EXPECT_EQ(readFile(dir / "drawings" / "shaftbmp.bmp"), kPrevious);
  expectFailure({"--into", "out", "Shaft.png", "*.jpg"},
                failureLine(Failure::kNoPictureMatches, "*.jpg"));
  expectFailure({"--into", "out", "folder/*.png"},
                failureLine(Failure::kNoPictureMatches, "folder/*.png"));
  expectFailure({"--into", "out", "folder"}, failureLine(Failure::kPicturesInFolder, "folder"));

  const ProcessResult result = run({"--into", "out", "Shaft.png", "point inlay 2.png"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.output,
            "connector: no texture in out\n"
            "point inlay 1: no texture in out\n"
            "point inlay 2: point inlay 2.png\n"
            "point inlay 3: no texture in out\n"
            "wrap: no texture in out\n"
            "butt: no texture in out\n"
            "ferrule: no texture in out\n"
            "shaft: Shaft.png\n"
            "bumper: no texture in out\n"
            "run this, then tintrod-prepare again for the tintrod command:\n"
            "tintrod-extract cueTemplate.obp out\n");
  EXPECT_EQ(listDirectory(dir / "out"),
            (std::vector<std::string>{"pointbmp2.bmp", "shaftbmp.bmp"}));
  EXPECT_EQ(readBack(readFile(dir / "out" / "shaftbmp.bmp"), 256, 256).at(9, 9),
            (Rgb{200, 200, 200}));
}

// A disk that fills up on the last texture (here a file size limit that the
// bumper's fits under and the shaft's does not) leaves every earlier texture
// as it was, and no temporary.
TEST_F(PrepareProcess, IntoKeepsEveryOldTextureWhenTheLastWriteFails) {
  if (kOnWindows) GTEST_SKIP() << "Windows has no ulimit";
  writeFile(dir / "bumper.png", readFile(dir / "picture.png"));
  writeFile(dir / "Shaft.png", readFile(dir / "picture.png"));
  fs::create_directory(dir / "out");
  writeFile(dir / "out" / "bumperbmp.bmp", kPrevious);
  writeFile(dir / "out" / "shaftbmp.bmp", encodeBitmap(makeBitmap(256, 256, 1, 4)));
  const FolderSnapshot before = snapshotOf(dir / "out");
  const ProcessResult result = runProcess(
      "/bin/sh",
      {"-c", "ulimit -f 8 && exec \"$0\" --into out bumper.png Shaft.png", TINTROD_PREPARE_BINARY},
      dir.path());
  expectFailureLine(result, failureLine(Failure::kFileWrite, "out/shaftbmp.bmp"));
  EXPECT_EQ(snapshotOf(dir / "out"), before);
}

// What a program prints is part of its work: when standard output cannot
// take it, the run fails and says so where it still can.
TEST_F(PrepareProcess, OutputThatCannotBeWrittenFailsTheRun) {
  if (kOnWindows) GTEST_SKIP() << "Windows has no /dev/full";
  writeFile(dir / "Shaft.png", readFile(dir / "picture.png"));
  for (const std::string command :
       {"\"$0\" --version", "\"$0\" -h", "\"$0\" --into out Shaft.png", "\"$1\" --version"}) {
    SCOPED_TRACE(command);
    const ProcessResult result = runProcess(
        "/bin/sh",
        {"-c", "exec " + command + " > /dev/full", TINTROD_PREPARE_BINARY, TINTROD_EXTRACT_BINARY},
        dir.path());
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.errors, failureLine(Failure::kStandardOutputLost));
  }
}

// The printed command, pasted into a shell, hands the program the very
// paths, whatever the folder's name, and runs nothing else: tintrod once the
// folder holds every texture, tintrod-extract before.
TEST_F(PrepareProcess, ThePrintedCommandPastesIntoAShellAsWritten) {
  if (kOnWindows) GTEST_SKIP() << "the command is for cmd and PowerShell there";
  writeFile(dir / "Shaft.png", readFile(dir / "picture.png"));
  fs::create_directory(dir / "stub");
  const std::string echoArguments = "#!/bin/sh\nfor a; do printf '%s\\n' \"$a\"; done\n";
  for (const char* program : {"tintrod", "tintrod-extract"}) {
    writeFile(dir / "stub" / program, Bytes(echoArguments.begin(), echoArguments.end()));
    fs::permissions(dir / "stub" / program, fs::perms::owner_all);
  }
  const auto pasteLastLine = [this](const std::string& printed) {
    const std::string command = printed.substr(printed.rfind('\n', printed.size() - 2) + 1);
    return runProcess("/bin/sh", {"-c", "PATH=\"$0:$PATH\"\n" + command, (dir / "stub").string()},
                      dir.path())
        .output;
  };
  for (const std::string folder : {"$(touch pwned)", "my \"tex\" $HOME", "tex\\ture", "it's"}) {
    SCOPED_TRACE(folder);
    const ProcessResult before = run({"--into", folder, "Shaft.png"});
    ASSERT_EQ(before.exitStatus, 0) << before.output;
    EXPECT_EQ(pasteLastLine(before.output), "cueTemplate.obp\n" + folder + "\n");
    for (const char* texture : {"zb1connect", "zb1a_256", "zb1b_256", "zb1c_256", "zblinen",
                                "zb1butt", "zbferrule", "zbrubber"}) {
      writeFile(dir / folder / (std::string(texture) + ".bmp"), kPrevious);
    }
    const ProcessResult after = run({"--into", folder, "Shaft.png"});
    ASSERT_EQ(after.exitStatus, 0) << after.output;
    EXPECT_EQ(pasteLastLine(after.output),
              folder + "/zb1connect.bmp\n" + folder + "/zb1a_256.bmp\n" + folder +
                  "/zb1b_256.bmp\n" + folder + "/zb1c_256.bmp\n" + folder + "/zblinen.bmp\n" +
                  folder + "/zb1butt.bmp\n" + folder + "/zbferrule.bmp\n" + folder +
                  "/shaftbmp.bmp\n" + folder + "/zbrubber.bmp\n");
  }
  EXPECT_FALSE(fs::exists(dir / "pwned"));
}

}  // namespace
}  // namespace tintrod::testing
