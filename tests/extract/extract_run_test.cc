// tintrod-extract as a user runs it, alone and together with tintrod.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "template/format.h"
#include "template/skin_slots.h"
#include "tests/extract/extract_fixture.h"
#include "tests/support/failure_line.h"
#include "tests/support/mip_reference.h"
#include "tests/tool/skin_fixture.h"

namespace tintrod::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> slotFileNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const SkinSlot& slot : kSkinSlots) names.push_back(folder + slot.textureName + ".bmp");
  return names;
}

// What tintrod makes of a slot texture fed its own level 0 and palette.
std::vector<TexturePlan> withRebuiltLevels(std::vector<TexturePlan> textures) {
  for (const SkinSlot& slot : kSkinSlots) {
    const auto texture = std::find_if(textures.begin(), textures.end(), [&](const TexturePlan& t) {
      return t.name == slot.textureName;
    });
    buildMipLevelReference(texture->pixels.data(), texture->width, texture->height,
                           texture->palette.data());
    buildMipLevelReference(texture->pixels.data() + texture->width * texture->height,
                           texture->width / 2, texture->height / 2, texture->palette.data());
  }
  return textures;
}

class ExtractRunTest : public ::testing::Test {
 protected:
  ProcessResult run(const std::vector<std::string>& arguments) const {
    return runExtractor(arguments, dir.path());
  }

  // A failure prints its one line, exits 1 and leaves the folder as it was.
  void expectFailure(const std::vector<std::string>& arguments, const std::string& line) {
    const auto before = listDirectory(dir.path());
    const ProcessResult result = run(arguments);
    expectFailureLine(result, line);
    EXPECT_EQ(listDirectory(dir.path()), before);
  }

  ScratchDir dir;
};

TEST_F(ExtractRunTest, ExtractedSlotsGoBackThroughTintrodUnchanged) {
  const auto textures = SkinFixture::slotTextures();
  const Bytes original = SkinFixture::templateWith(textures);
  writeFile(dir / kTemplateFileName, original);
  ASSERT_EQ(run({}).exitStatus, 0);

  const ProcessResult skinned = runProcess(TINTROD_BINARY, slotFileNames(""), dir.path());
  ASSERT_EQ(skinned.exitStatus, 0) << skinned.output;
  const auto expected = withRebuiltLevels(textures);
  EXPECT_TRUE(readFile(dir / kOutputFileName) == SkinFixture::templateWith(expected));

  // The check shows the levels exactly as tintrod wrote them.
  ASSERT_EQ(run({kOutputFileName, "check"}).exitStatus, 0);
  for (const TexturePlan& texture : expected) {
    SCOPED_TRACE(texture.name);
    for (int level = 0; level < 3; ++level) {
      const std::string suffix = level == 0 ? ".bmp" : ".mip" + std::to_string(level) + ".bmp";
      const fs::path path = dir / "check" / (texture.name + suffix);
      if ((texture.width >> level) == 0 || (texture.height >> level) == 0) {
        EXPECT_FALSE(fs::exists(path)) << level;
        continue;
      }
      const DecodedBitmap bitmap = readBitmap(path);
      EXPECT_EQ(bitmap.width, texture.width >> level);
      EXPECT_EQ(bitmap.height, texture.height >> level);
      EXPECT_TRUE(std::equal(texture.palette.begin(), texture.palette.end(), bitmap.palette.begin(),
                             bitmap.palette.end()));
      EXPECT_EQ(bitmap.pixels, levelOf(texture, level)) << level;
    }
  }
}

TEST_F(ExtractRunTest, ListsEveryTextureWithTheSlotThatFeedsIt) {
  const std::vector<TexturePlan> textures = {
      makeTexture("zbtip", 64, 64, 1), makeTexture("zbrubber", 32, 32, 2),
      makeTexture("zbrubber", 32, 32, 3), makeTexture("bad\x01name", 0, 4, 4)};
  writeFile(dir / "model.obp", buildTemplate({textureTableChunk(textures)}));
  const ProcessResult result = run({"model.obp", "out"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.output,
            "  #  name                           size         slot        file\n"
            "  0  zbtip                          64 x 64      -           zbtip.bmp\n"
            "  1  zbrubber                       32 x 32      bumperbmp   zbrubber.bmp\n"
            "  2  zbrubber                       32 x 32      -           zbrubber-2.bmp\n"
            "  3  bad\\x01name                    0 x 4        -           -\n");
  EXPECT_EQ(
      listDirectory(dir / "out"),
      (std::vector<std::string>{"zbrubber-2.bmp", "zbrubber-2.mip1.bmp", "zbrubber-2.mip2.bmp",
                                "zbrubber.bmp", "zbrubber.mip1.bmp", "zbrubber.mip2.bmp",
                                "zbtip.bmp", "zbtip.mip1.bmp", "zbtip.mip2.bmp"}));
}

TEST_F(ExtractRunTest, OddSizesArePaddedAndEmptyLevelsSkipped) {
  const TexturePlan odd = makeTexture("odd", 5, 3, 1);
  const TexturePlan thin = makeTexture("thin", 7, 2, 2);
  writeFile(dir / kTemplateFileName, buildTemplate({textureTableChunk({odd, thin})}));
  ASSERT_EQ(run({}).exitStatus, 0);
  EXPECT_EQ(readFile(dir / "odd.bmp").size(), 1078u + 8 * 3);
  EXPECT_EQ(readBitmap(dir / "odd.bmp").pixels, levelOf(odd, 0));
  EXPECT_EQ(readBitmap(dir / "odd.mip1.bmp").pixels, levelOf(odd, 1));
  EXPECT_EQ(readBitmap(dir / "thin.mip1.bmp").pixels, levelOf(thin, 1));
  EXPECT_FALSE(fs::exists(dir / "odd.mip2.bmp"));
  EXPECT_FALSE(fs::exists(dir / "thin.mip2.bmp"));
}

TEST_F(ExtractRunTest, HostileNamesStayInsideTheFolder) {
  const std::vector<std::pair<std::string, std::string>> cases = {{"../evil", "_._evil"},
                                                                  {"a/b", "a_b"},
                                                                  {"a_b", "a_b-2"},
                                                                  {".hidden", "_hidden"},
                                                                  {"", "texture"},
                                                                  {"..", "_."},
                                                                  {".", "_"},
                                                                  {"\x01\nctl", "__ctl"},
                                                                  {"Twin", "Twin"},
                                                                  {"twin", "twin-2"},
                                                                  {"x", "x"},
                                                                  {"x.mip1", "x.mip1-2"},
                                                                  {"back\\slash", "back_slash"},
                                                                  {"/abs", "_abs"},
                                                                  {"caf\xC3\xA9", "caf__"}};
  std::vector<TexturePlan> textures;
  std::vector<std::string> expected;
  for (const auto& [name, stem] : cases) {
    textures.push_back(makeTexture(name, 8, 4, static_cast<std::uint32_t>(textures.size())));
    for (const char* suffix : {".bmp", ".mip1.bmp", ".mip2.bmp"}) expected.push_back(stem + suffix);
  }
  std::sort(expected.begin(), expected.end());
  writeFile(dir / kTemplateFileName, buildTemplate({textureTableChunk(textures)}));
  fs::create_directory(dir / "sub");

  ASSERT_EQ(runExtractor({"../" + std::string(kTemplateFileName), "out"}, dir / "sub").exitStatus,
            0);
  EXPECT_EQ(listDirectory(dir / "sub" / "out"), expected);
  EXPECT_EQ(listDirectory(dir / "sub"), std::vector<std::string>{"out"});
  EXPECT_EQ(listDirectory(dir.path()), (std::vector<std::string>{kTemplateFileName, "sub"}));
  EXPECT_EQ(readBitmap(dir / "sub" / "out" / "_._evil.bmp").pixels, levelOf(textures[0], 0));
}

TEST_F(ExtractRunTest, NeverWritesThroughALink) {
  if (kOnWindows) GTEST_SKIP() << kNoSymbolicLinks;
  writeFile(dir / kTemplateFileName,
            buildTemplate({textureTableChunk({makeTexture("a", 4, 4, 1)})}));
  fs::create_directory(dir / "out");
  fs::create_symlink("../outside.bmp", dir / "out" / "a.bmp");
  expectFailure({kTemplateFileName, "out"}, "file out/a.bmp exists; --force replaces it\n");
  // Forced, the link itself is replaced.
  ASSERT_EQ(run({"--force", kTemplateFileName, "out"}).exitStatus, 0);
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / "out" / "a.bmp")));
  EXPECT_FALSE(fs::exists(dir / "outside.bmp"));
}

TEST_F(ExtractRunTest, MissingOrCorruptModelsWriteNothing) {
  expectFailure({}, "can't find model file cueTemplate.obp\n");
  expectFailure({"missing.obp", "out"}, "can't find model file missing.obp\n");
  // Off a terminal, byte for byte.
  const std::string hostile = "\x1B]2;owned\x07\x1B[2J.obp";
  expectFailure({hostile, "out"}, "can't find model file " + hostile + "\n");
  fs::create_directory(dir / "folder.obp");
  expectFailure({"folder.obp", "out"},
                "model file folder.obp is a folder; give the cue model's .obp file\n");

  const Bytes good =
      buildTemplate({chunk("HEAD", {1}), textureTableChunk({makeTexture("a", 8, 8, 1)})});
  Bytes truncated = good;
  truncated.resize(good.size() - 1);
  Bytes badCount = good;
  putWord(badCount, 20 + 9 + 8, -1);
  const std::string notModel = "model file bad.obp is not a cue model\n";
  const std::string corrupt = "model file bad.obp is corrupt\n";
  const struct {
    std::string name;
    Bytes bytes;
    std::string line;
  } cases[] = {
      {"empty", {}, "model file bad.obp is empty\n"},
      {"a JPEG", {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0}, notModel},
      {"version", buildTemplate({textureTableChunk({})}, 0x00030000), notModel},
      {"short header", Bytes(10, 0), notModel},
      {"no table", buildTemplate({chunk("HEAD", {1})}), corrupt},
      {"truncated", truncated, corrupt},
      {"negative count", badCount, corrupt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    writeFile(dir / "bad.obp", c.bytes);
    expectFailure({"bad.obp", "out"}, c.line);
    expectFailure({"--sheet", "sheet.bmp", "bad.obp"}, c.line);
  }
}

TEST_F(ExtractRunTest, UsageAndUnwritableOutputs) {
  const std::string usage = "usage tintrod-extract [--force] [--sheet FILE] [MODEL] [DIR]\n";
  // Which argument lists are refused is the parser's test; here, what a refusal does.
  expectFailure({"a", "b", "c"}, usage);
  expectFailure({"--", "--help", "b", "c"}, usage);

  writeFile(dir / kTemplateFileName,
            buildTemplate({textureTableChunk({makeTexture("a", 4, 4, 1)})}));
  writeFile(dir / "file", {});
  expectFailure({kTemplateFileName, "file"}, "can't create folder file\n");
  expectFailure({kTemplateFileName, "file/sub"}, "can't create folder file/sub\n");

  fs::create_directories(dir / "out" / "a.bmp");
  expectFailure({kTemplateFileName, "out", "--force"}, "can't write file out/a.bmp\n");
  const ProcessResult noSheet = run({"--sheet", "missing/sheet.bmp"});
  EXPECT_TRUE(noSheet.output.ends_with("\ncan't write file missing/sheet.bmp\n")) << noSheet.output;
  EXPECT_EQ(noSheet.exitStatus, 1);

  // "--" lets a model whose name starts with a dash through.
  fs::copy_file(dir / kTemplateFileName, dir / "-model.obp");
  EXPECT_EQ(run({"--", "-model.obp", "dashed"}).exitStatus, 0);
  EXPECT_TRUE(fs::exists(dir / "dashed" / "a.bmp"));
}

// Nor does the sheet take a texture's name, nor a file replace a device or a FIFO.
TEST_F(ExtractRunTest, NeverWritesOverTheModelOrChangedFiles) {
  const Bytes model =
      buildTemplate({textureTableChunk({makeTexture("a", 4, 4, 1), makeTexture("b", 4, 4, 2)})});
  writeFile(dir / kTemplateFileName, model);
  ASSERT_EQ(run({"--sheet", "sheet.bmp", kTemplateFileName, "out"}).exitStatus, 0);
  // The same run again finds every file in place.
  ASSERT_EQ(run({"--sheet", "sheet.bmp", kTemplateFileName, "out"}).exitStatus, 0);
  const Bytes extracted = readFile(dir / "out" / "b.bmp");
  fs::remove(dir / "out" / "a.bmp");
  writeFile(dir / "out" / "b.bmp", {'e', 'd', 'i', 't'});
  fs::create_directory(dir / "inside");
  writeFile(dir / "inside" / "a.mip1.bmp", model);
  fs::create_directory(dir / "linked");
  fs::create_hard_link(dir / kTemplateFileName, dir / "linked" / "a.bmp");

  const bool fifos = makeFifo(dir / "fifo");
  if (fifos) {
    fs::create_directory(dir / "piped");
    ASSERT_TRUE(makeFifo(dir / "piped" / "a.bmp"));
  }

  struct Case {
    std::vector<std::string> arguments;
    std::string line;
  };
  std::vector<Case> refused = {
      {{"--sheet", kTemplateFileName, kTemplateFileName, "new"},
       "can't write over model file cueTemplate.obp\n"},
      {{"--force", "--sheet", "./cueTemplate.obp", kTemplateFileName, "new"},
       "can't write over model file ./cueTemplate.obp\n"},
      {{"--force", kTemplateFileName, "linked"}, "can't write over model file linked/a.bmp\n"},
      {{"--force", "inside/a.mip1.bmp", "inside"},
       "can't write over model file inside/a.mip1.bmp\n"},
      // Refused before a.bmp, which comes first, is written again.
      {{kTemplateFileName, "out"}, "file out/b.bmp exists; --force replaces it\n"},
      {{"--sheet", "out/b.bmp", kTemplateFileName, "new"},
       "file out/b.bmp exists; --force replaces it\n"},
      {{"--force", "--sheet", "out/a.bmp", kTemplateFileName, "out"},
       "sheet out/a.bmp would replace a texture\n"},
      {{"--sheet", "new/sub/../B.mip1.bmp", kTemplateFileName, "new"},
       "sheet new/sub/../B.mip1.bmp would replace a texture\n"},
      // Through a folder the run would make, the names are what they will be.
      {{kTemplateFileName, "gone/../out"}, "file gone/../out/b.bmp exists; --force replaces it\n"},
      {{"--sheet", "fresh/../cueTemplate.obp", kTemplateFileName, "fresh"},
       "can't write over model file fresh/../cueTemplate.obp\n"},
  };
  if (fifos) {
    refused.insert(
        refused.begin(),
        {{{"--force", kTemplateFileName, "piped"}, "can't write file piped/a.bmp\n"},
         {{"--force", "--sheet", "fifo", kTemplateFileName, "new"}, "can't write file fifo\n"}});
  }
  const auto before = snapshotOf(dir.path());
  for (const Case& c : refused) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    const ProcessResult result = run(c.arguments);
    EXPECT_EQ(result.output, c.line);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_TRUE(snapshotOf(dir.path()) == before);
  }

  ASSERT_EQ(run({"--force", kTemplateFileName, "out"}).exitStatus, 0);
  EXPECT_EQ(readFile(dir / "out" / "b.bmp"), extracted);
  EXPECT_TRUE(fs::exists(dir / "out" / "a.bmp"));
  EXPECT_EQ(readFile(dir / kTemplateFileName), model);
}

// Texture pixels whose index tells their stored row and column, and a palette
// that turns an index into a colour no other entry has.
TexturePlan gradedTexture(const std::string& name, std::uint16_t width, std::uint16_t height) {
  TexturePlan texture = makeTexture(name, width, height, 0);
  for (int i = 0; i < 256; ++i) {
    texture.palette[3 * i] = static_cast<std::uint8_t>(i);
    texture.palette[3 * i + 1] = static_cast<std::uint8_t>(255 - i);
    texture.palette[3 * i + 2] = 7;
  }
  for (std::size_t i = 0; i < texture.pixels.size(); ++i) {
    texture.pixels[i] = static_cast<std::uint8_t>(i);
  }
  return texture;
}

TEST_F(ExtractRunTest, SheetShowsEveryLevelTopDownOnGreyUnderItsLabel) {
  // Rows of 8 x 4, 4 x 2, 2 x 1 and of 4 x 8, 2 x 4, 1 x 2, each under a
  // label band of 24: 4 + (24 + 4 + 4) + (24 + 8 + 4) = 72 high.
  writeFile(dir / kTemplateFileName,
            buildTemplate(
                {textureTableChunk({gradedTexture("wide", 8, 4), gradedTexture("tall", 4, 8)})}));
  ASSERT_EQ(run({"--sheet", "sheet.bmp", kTemplateFileName, "out"}).exitStatus, 0);
  const DecodedBitmap sheet = readBitmap(dir / "sheet.bmp");
  ASSERT_EQ(sheet.bitCount, 24);
  ASSERT_GE(sheet.width, 30);
  ASSERT_EQ(sheet.height, 72);
  // x and y from the top-left corner of the row's pictures as the sheet is seen.
  const auto at = [&](int row, int x, int y) {
    y += row == 0 ? 24 : 48;
    const std::size_t pixel = static_cast<std::size_t>((sheet.height - 1 - y) * sheet.width + x);
    return Bytes(sheet.pixels.begin() + 3 * pixel, sheet.pixels.begin() + 3 * pixel + 3);
  };
  const auto colour = [](int index) {
    return Bytes{static_cast<std::uint8_t>(index), static_cast<std::uint8_t>(255 - index), 7};
  };
  const Bytes grey = {0x80, 0x80, 0x80};
  struct Spot {
    int row, x, y;
    Bytes expected;
  };
  const std::vector<Spot> spots = {
      {0, 0, -24, grey},
      {1, sheet.width - 1, 23, grey},
      {0, 3, 4, grey},
      {0, 4, 4, colour(24)},   // wide, level 0: its top row is stored last, row 3 of 8
      {0, 11, 7, colour(7)},   // wide, level 0: bottom right, stored first
      {0, 16, 4, colour(36)},  // wide, level 1 at 32: top row is stored row 1 of 4
      {0, 24, 4, colour(40)},  // wide, level 2 at 40
      {0, 24, 5, grey},
      {0, 26, 4, grey},
      {1, 4, 12, colour(28)},   // tall, level 0: stored row 7 of 4
      {1, 7, 19, colour(3)},    // tall, level 0: bottom right
      {1, 12, 12, colour(38)},  // tall, level 1 at 32: stored row 3 of 2
      {1, 18, 13, colour(40)},  // tall, level 2 at 40: bottom of its 1 x 2
      {1, 18, 14, grey},
  };
  for (const Spot& spot : spots) {
    EXPECT_EQ(at(spot.row, spot.x, spot.y), spot.expected) << spot.x << "," << spot.y;
  }
}

TEST(BundledSample, WorkflowRoundTrip) {
  ScratchDir dir;
  ASSERT_EQ(runProcess(TINTROD_SAMPLE_BINARY, {utf8String(dir.path())}, dir.path()).exitStatus, 0);
  ASSERT_EQ(
      runExtractor({"--sheet", "cue.bmp", kTemplateFileName, "textures"}, dir.path()).exitStatus,
      0);
  const ProcessResult skinned = runProcess(TINTROD_BINARY, slotFileNames("textures/"), dir.path());
  EXPECT_EQ(skinned.exitStatus, 0) << skinned.output;
  EXPECT_EQ(runExtractor({kOutputFileName, "check"}, dir.path()).exitStatus, 0);
  for (const SkinSlot& slot : kSkinSlots) {
    const std::string name = std::string(slot.textureName) + ".bmp";
    EXPECT_EQ(readFile(dir / "check" / name), readFile(dir / "textures" / name)) << name;
  }
}

}  // namespace
}  // namespace tintrod::testing
