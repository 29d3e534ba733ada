// The tool as a user runs it: a process in a working directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "template/format.h"
#include "template/skin_slots.h"
#include "tests/support/failure_line.h"
#include "tests/tool/skin_fixture.h"
#include "tool/load_bitmap.h"

namespace tintrod::testing {
namespace {

namespace fs = std::filesystem;

std::string namesListed(const std::vector<TexturePlan>& textures) {
  std::string lines;
  for (const auto& texture : textures) lines += "Texture name = " + texture.name + "\n";
  return lines;
}

// The template with each slot texture carrying what its bitmap should give.
std::vector<TexturePlan> skinned(std::vector<TexturePlan> textures,
                                 const std::vector<BitmapPlan>& bitmaps) {
  for (std::size_t slot = 0; slot < kSkinSlots.size(); ++slot) {
    for (auto& texture : textures) {
      if (texture.name != kSkinSlots[slot].textureName) continue;
      texture.palette = expectedPalette(bitmaps[slot]);
      texture.pixels = expectedPixelBlock(bitmaps[slot]);
      break;  // only the first of a repeated name
    }
  }
  return textures;
}

class SkinRunTest : public ::testing::Test {
 protected:
  // Runs and checks a failure: its one line, status 1, and a folder exactly
  // as it was (no output created or changed, no temporary file, template
  // unchanged).
  void expectFailure(const std::vector<std::string>& arguments, const std::string& lines) {
    const auto before = snapshotOf(fixture.dir().path());
    const ProcessResult result = fixture.run(arguments);
    expectFailureLine(result, lines);
    const auto after = snapshotOf(fixture.dir().path());
    EXPECT_TRUE(after == before) << "the folder changed";
  }

  void expectFailure(const std::string& lines) { expectFailure(fixture.bitmapNames(), lines); }

  SkinFixture fixture;
};

TEST_F(SkinRunTest, SkinsTheNineSlotsAndCarriesEveryOtherByte) {
  // Slots exercise the bitmap variants real editors write.
  auto& bitmaps = fixture.bitmaps();
  bitmaps[0].compression = 1;
  bitmaps[4].infoHeaderSize = 124;
  bitmaps[5].gapBeforePixels = 10;
  bitmaps[8] = makeBitmap(32, 32, 5, 16);
  fixture.writeBitmaps();
  const auto textures = SkinFixture::slotTextures();
  const Bytes original = SkinFixture::templateWith(textures);
  fixture.writeTemplate(original);

  const ProcessResult result = fixture.runWithBitmaps();
  EXPECT_EQ(result.output, namesListed(textures) + "Cue Skinning Complete!\n");
  EXPECT_EQ(result.exitStatus, 0);
  const Bytes output = readFile(fixture.dir() / kOutputFileName);
  ASSERT_EQ(output.size(), original.size());
  EXPECT_TRUE(output == SkinFixture::templateWith(skinned(textures, bitmaps)));
  EXPECT_EQ(readFile(fixture.dir() / kTemplateFileName), original);
  auto expectedFiles = fixture.bitmapNames();
  expectedFiles.push_back(kOutputFileName);
  expectedFiles.push_back(kTemplateFileName);
  std::sort(expectedFiles.begin(), expectedFiles.end());
  EXPECT_EQ(listDirectory(fixture.dir().path()), expectedFiles);
}

TEST_F(SkinRunTest, ReplacesAnEarlierOutputAndAcceptsAReadOnlyTemplate) {
  fixture.writeBitmaps();
  const auto textures = SkinFixture::slotTextures();
  fixture.writeTemplate(SkinFixture::templateWith(textures));
  writeFile(fixture.dir() / kOutputFileName, Bytes(3, 1));
  fs::permissions(fixture.dir() / kTemplateFileName, fs::perms::owner_read);

  EXPECT_EQ(fixture.runWithBitmaps().exitStatus, 0);
  EXPECT_TRUE(readFile(fixture.dir() / kOutputFileName) ==
              SkinFixture::templateWith(skinned(textures, fixture.bitmaps())));
}

TEST_F(SkinRunTest, FirstOfARepeatedNameTakesTheBitmap) {
  fixture.writeBitmaps();
  auto textures = SkinFixture::slotTextures();
  textures.push_back(makeTexture("zbrubber", 32, 32, 1234));
  fixture.writeTemplate(SkinFixture::templateWith(textures));

  const ProcessResult result = fixture.runWithBitmaps();
  EXPECT_EQ(result.output, namesListed(textures) + "Cue Skinning Complete!\n");
  EXPECT_TRUE(readFile(fixture.dir() / kOutputFileName) ==
              SkinFixture::templateWith(skinned(textures, fixture.bitmaps())));
}

TEST_F(SkinRunTest, WrongArgumentCountPrintsUsage) {
  const std::string usage =
      "usage tintrod connectbmp pointbmp1 pointbmp2 pointbmp3 wrapbmp buttbmp ferrulebmp "
      "shaftbmp bumperbmp\n";
  auto names = fixture.bitmapNames();
  expectFailure({}, usage);
  expectFailure({names.begin(), names.end() - 1}, usage);
  names.push_back("extra.bmp");
  expectFailure(names, usage);
}

TEST_F(SkinRunTest, BitmapsAreCheckedInSlotOrderBeforeTheTemplate) {
  fixture.writeBitmaps();
  fixture.writeTemplate(Bytes(5, 0xFF));  // would be corrupt, but is never reached
  fs::remove(fixture.dir() / "wrapbmp.bmp");
  fixture.writeBitmap(6, Bytes(10, 0));
  expectFailure("can't open bitmap file wrapbmp.bmp\n");
  // Off a terminal a line names a file byte for byte, control sequence and all.
  const std::string hostile = "\x1B]2;owned\x07\x1B[2J.bmp";
  auto names = fixture.bitmapNames();
  names[4] = hostile;
  expectFailure(names, "can't open bitmap file " + hostile + "\n");

  fixture.writeBitmap(4, encodeBitmap(makeBitmap(64, 128, 1)));
  expectFailure("invalid width for bitmap wrapbmp.bmp\n");

  Bytes truncated = encodeBitmap(fixture.bitmaps()[4]);
  truncated.resize(truncated.size() - 1);
  fixture.writeBitmap(4, truncated);
  expectFailure("bitmap file wrapbmp.bmp is corrupt\n");

  // Bytes after the rows past the largest slot's limit are never read: the
  // bitmap passes its check, and the run goes on to this test's template.
  Bytes padded = encodeBitmap(fixture.bitmaps()[8]);
  padded.resize(kMaxSlotBitmapFileSize + 1);
  fixture.writeBitmaps();
  fixture.writeBitmap(8, padded);
  expectFailure("cue stick file is corrupt\n");
}

TEST_F(SkinRunTest, TemplateMustExistAndCarryASupportedVersion) {
  fixture.writeBitmaps();
  expectFailure("can't find cue stick obp file\n");

  const auto textures = SkinFixture::slotTextures();
  struct Case {
    std::uint32_t version;
    bool accepted;
  };
  for (const Case& c : {Case{0x00020101, true}, Case{0, true}, Case{0x00030000, false},
                        Case{0x00000102, false}, Case{0xFFFF0000, false}}) {
    Bytes bytes = SkinFixture::templateWith(textures);
    std::copy_n(templateHeader(c.version).begin(), kTemplateHeaderSize, bytes.begin());
    fixture.writeTemplate(bytes);
    if (c.accepted) {
      EXPECT_EQ(fixture.runWithBitmaps().exitStatus, 0) << std::hex << c.version;
      fs::remove(fixture.dir() / kOutputFileName);
    } else {
      SCOPED_TRACE(c.version);
      expectFailure("cue stick file is corrupt\n");
    }
  }
  for (std::size_t length : {0, 8, 19}) {
    fixture.writeTemplate(Bytes(length, 0));
    SCOPED_TRACE(length);
    expectFailure("cue stick file is corrupt\n");
  }
}

TEST_F(SkinRunTest, MissingOrMismatchedTexturesWriteNothing) {
  fixture.writeBitmaps();
  writeFile(fixture.dir() / kOutputFileName, Bytes(3, 1));  // an earlier output stays as it was

  auto withoutBumper = SkinFixture::slotTextures();
  std::erase_if(withoutBumper, [](const TexturePlan& t) { return t.name == "zbrubber"; });
  fixture.writeTemplate(SkinFixture::templateWith(withoutBumper));
  expectFailure(namesListed(withoutBumper) + "Can't find texture in template\n");

  fixture.writeTemplate(buildTemplate({textureTableChunk({})}));
  expectFailure("Can't find texture in template\n");

  auto resized = SkinFixture::slotTextures();
  for (auto& texture : resized) {
    if (texture.name == "zbrubber") texture = makeTexture("zbrubber", 32, 64, 3);
  }
  fixture.writeTemplate(SkinFixture::templateWith(resized));
  expectFailure(namesListed(resized) + "invalid height for bitmap bumperbmp.bmp\n");
}

TEST_F(SkinRunTest, ACorruptTableLeavesAnEarlierOutputAsItWas) {
  fixture.writeBitmaps();
  writeFile(fixture.dir() / kOutputFileName, Bytes(3, 1));
  Bytes damaged = SkinFixture::templateWith(SkinFixture::slotTextures());
  // Behind the header, "HEAD" (20 bytes) and "END!" (8): the table's size word.
  putWord(damaged, 20 + 20 + 8 + 4, 0x7FFFFFF0);
  fixture.writeTemplate(damaged);
  expectFailure("cue stick file is corrupt\n");
}

// A folder, a device or a FIFO under the output's name stays what it is.
TEST_F(SkinRunTest, AnOutputThatCannotBeWrittenLeavesNoTrace) {
  fixture.writeBitmaps();
  const auto textures = SkinFixture::slotTextures();
  fixture.writeTemplate(SkinFixture::templateWith(textures));
  const fs::path output = fixture.dir() / kOutputFileName;
  fs::create_directory(output);
  writeFile(output / "keep", Bytes(1, 1));
  expectFailure(namesListed(textures) + "can't open new cue obp file\n");
  EXPECT_EQ(listDirectory(output), std::vector<std::string>{"keep"});
  fs::remove_all(output);
  if (!makeFifo(output)) return;
  expectFailure(namesListed(textures) + "can't open new cue obp file\n");
  EXPECT_EQ(fs::symlink_status(output).type(), fs::file_type::fifo);
}

TEST(BundledSample, GeneratesAndSkins) {
  ScratchDir dir;
  ASSERT_EQ(runProcess(TINTROD_SAMPLE_BINARY, {utf8String(dir.path())}, dir.path()).exitStatus, 0);
  const ProcessResult result =
      runProcess(TINTROD_BINARY,
                 {"connect.bmp", "point1.bmp", "point2.bmp", "point3.bmp", "wrap.bmp", "butt.bmp",
                  "ferrule.bmp", "shaft.bmp", "bumper.bmp"},
                 dir.path());
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_TRUE(result.output.ends_with("Cue Skinning Complete!\n"));
  EXPECT_EQ(readFile(dir / kOutputFileName).size(), readFile(dir / kTemplateFileName).size());
}

}  // namespace
}  // namespace tintrod::testing
