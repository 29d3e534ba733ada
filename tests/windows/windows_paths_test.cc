// What only Windows can get wrong, through the real programs: letters beyond
// the ANSI code page, the read-only attribute, paths past MAX_PATH, and the
// console's line ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "template/format.h"
#include "template/skin_slots.h"
#include "tests/extract/extract_fixture.h"
#include "tests/support/scratch.h"
#include "tests/tool/skin_fixture.h"

namespace tintrod::testing {
namespace {

namespace fs = std::filesystem;

// Letters from several scripts; none of them survives an ANSI code page whole.
const std::string kForeignFolder = "Queue \xC3\xBC\xC3\x9F \xE7\x90\x83\xE6\x9D\x86 \xE2\x98\x83";

void readyToSkin(const SkinFixture& fixture) {
  fixture.writeBitmaps();
  fixture.writeTemplate(SkinFixture::templateWith(SkinFixture::slotTextures()));
}

TEST(WindowsPaths, ForeignLettersReachTheFilesAndTheMessages) {
  SkinFixture fixture;
  readyToSkin(fixture);
  const fs::path folder = fixture.dir().path() / utf8Path(kForeignFolder);
  fs::create_directory(folder);
  std::vector<std::string> arguments = fixture.bitmapNames();
  const std::string moved = kForeignFolder + "/" + "\xC3\xA9" + arguments[0];
  fs::rename(fixture.dir().path() / arguments[0], fixture.dir().path() / utf8Path(moved));
  arguments[0] = moved;

  const ProcessResult skinned = fixture.run(arguments);
  EXPECT_EQ(skinned.exitStatus, 0) << skinned.output;
  EXPECT_TRUE(fs::is_regular_file(fixture.dir() / kOutputFileName));

  // Piped, the path comes out as UTF-8 bytes, the line ends as CRLF.
  arguments[1] = kForeignFolder + "/absent.bmp";
  const ProcessResult failed = fixture.run(arguments);
  EXPECT_EQ(failed.rawOutput, "can't open bitmap file " + arguments[1] + "\r\n");
  EXPECT_EQ(failed.exitStatus, 1);
}

TEST(WindowsPaths, ReadOnlyOutputIsRefusedAndKept) {
  SkinFixture fixture;
  readyToSkin(fixture);
  const fs::path output = fixture.dir() / kOutputFileName;
  writeFile(output, Bytes{1, 2, 3});
  fs::permissions(output, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const auto before = listDirectory(fixture.dir().path());

  const ProcessResult result = fixture.runWithBitmaps();
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.output.substr(result.output.rfind("can't")), "can't open new cue obp file\n");
  EXPECT_EQ(readFile(output), (Bytes{1, 2, 3}));
  EXPECT_EQ(listDirectory(fixture.dir().path()), before);
}

TEST(WindowsPaths, OutputFolderThatIsAFileIsRefused) {
  ScratchDir dir;
  writeFile(dir / kTemplateFileName, SkinFixture::templateWith(SkinFixture::slotTextures()));
  writeFile(dir / "textures", Bytes{7});
  for (const std::string folder : {"textures", "textures/below"}) {
    const ProcessResult result = runExtractor({kTemplateFileName, folder}, dir.path());
    EXPECT_EQ(result.rawOutput, "can't create folder " + folder + "\r\n");
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(readFile(dir / "textures"), Bytes{7});
  }
}

// Extracting into folders whose full path passes 260 characters, then
// skinning from there: the old limit holds for neither program.
TEST(WindowsPaths, PathsPastMaxPathWork) {
  ScratchDir dir;
  writeFile(dir / kTemplateFileName, SkinFixture::templateWith(SkinFixture::slotTextures()));
  std::string folder = "textures";
  while (utf8String(dir.path()).size() + folder.size() < 300) {
    folder += "/a-folder-name-of-forty-characters-00000";
  }
  const ProcessResult extracted = runExtractor({kTemplateFileName, folder}, dir.path());
  ASSERT_EQ(extracted.exitStatus, 0) << extracted.output;

  std::vector<std::string> arguments;
  for (const SkinSlot& slot : kSkinSlots) {
    arguments.push_back(folder + "/" + std::string(slot.textureName) + ".bmp");
  }
  const ProcessResult skinned = runProcess(TINTROD_BINARY, arguments, dir.path());
  EXPECT_EQ(skinned.exitStatus, 0) << skinned.output;
  EXPECT_EQ(readFile(dir / kOutputFileName).size(), readFile(dir / kTemplateFileName).size());
}

}  // namespace
}  // namespace tintrod::testing
