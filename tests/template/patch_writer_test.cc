#include "template/patch_writer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "template/chunk_table_reader.h"
#include "tests/support/template_builder.h"
#include "tests/template/template_stream.h"

namespace tintrod {
namespace {

using testing::Bytes;
using testing::TexturePlan;

// A template with a chunk on either side of the table, so that overruns in
// both directions show.
Bytes templateWith(const std::vector<TexturePlan>& textures) {
  return testing::buildTemplate({testing::chunk("HEAD", {1, 2, 3}),
                                 testing::textureTableChunk(textures),
                                 testing::chunk("TAIL", Bytes(16, 0xEE))});
}
constexpr std::int64_t kTablePos = 20 + 11;

class PatchWriter : public ::testing::Test {
 protected:
  TextureTable loadTable(const Bytes& bytes) {
    file_ = std::make_unique<testing::TemplateStream>(bytes);
    return *readTextureTable(reader_, file_->stream());
  }

  // Patches a byte copy of `original` (cut to `outputLength` if given) and
  // returns the patched bytes.
  Bytes patch(const Bytes& original, const TextureTable& table, bool expectSuccess = true,
              std::size_t outputLength = SIZE_MAX) {
    const auto path = scratch_ / "cueNew.obp";
    os::NewFile output;
    EXPECT_TRUE(output.create(path.string(), os::kNewFilePermissions).ok());
    EXPECT_TRUE(output.append({original.data(), std::min(outputLength, original.size())}).ok());
    EXPECT_EQ(patchTextures(output, table).ok(), expectSuccess);
    EXPECT_TRUE(output.publish().ok());
    return testing::readFile(path);
  }

  ChunkTableReader reader_;
  testing::ScratchDir scratch_;
  std::unique_ptr<testing::TemplateStream> file_;
};

void overwrite(Bytes& bytes, std::int64_t position, const std::uint8_t* from, std::size_t length) {
  std::copy_n(from, length, bytes.begin() + position);
}

TEST_F(PatchWriter, OneTextureLandsAtItsPaletteAndPixelColumns) {
  const Bytes original = templateWith({testing::makeTexture("zbrubber", 8, 8, 1)});
  const TextureTable table = loadTable(original);
  ASSERT_EQ(table.tablePos, kTablePos);
  TextureRecord record = table.records[0];
  std::fill_n(record.palette(), 768, 0x5A);
  std::fill_n(record.pixels(), record.pixelBlockSize(), 0xA5);

  Bytes expected = original;
  overwrite(expected, kTablePos + 75, record.palette(), 768);  // through tablePos + 842
  overwrite(expected, kTablePos + 851, record.pixels(), 84);   // behind the two words
  EXPECT_EQ(patch(original, table), expected);
}

TEST_F(PatchWriter, PalettesFollowEachOtherInRecordOrder) {
  const std::vector<TexturePlan> textures = {testing::makeTexture("a", 4, 4, 1),
                                             testing::makeTexture("b", 8, 4, 2),
                                             testing::makeTexture("c", 4, 8, 3)};
  const Bytes original = templateWith(textures);
  const TextureTable table = loadTable(original);
  Bytes expected = original;
  for (std::size_t i = 0; i < table.records.size(); ++i) {
    TextureRecord record = table.records[i];
    std::fill_n(record.palette(), 768, static_cast<std::uint8_t>(0x10 + i));
    overwrite(expected, kTablePos + 40 + 35 * 3 + 768 * static_cast<std::int64_t>(i),
              record.palette(), 768);
  }
  EXPECT_EQ(patch(original, table), expected);
}

TEST_F(PatchWriter, UnchangedRecordsWriteTheTemplateBack) {
  const Bytes original =
      templateWith({testing::makeTexture("a", 16, 8, 4), testing::makeTexture("b", 4, 4, 5)});
  EXPECT_EQ(patch(original, loadTable(original)), original);
}

TEST_F(PatchWriter, OddSizesWriteTruncatedBlockLengths) {
  const Bytes original =
      templateWith({testing::makeTexture("odd", 5, 3, 6), testing::makeTexture("next", 4, 4, 7)});
  const TextureTable table = loadTable(original);
  TextureRecord odd = table.records[0];
  ASSERT_EQ(odd.pixelBlockSize(), 18);  // 15 + 15 / 16 + 15 / 4
  std::fill_n(odd.pixels(), 18, 0xC3);
  Bytes expected = original;
  overwrite(expected, kTablePos + 40 + 803 * 2 + 8, odd.pixels(), 18);
  EXPECT_EQ(patch(original, table), expected);
}

// The cut copy ends in the element size word, in the count word, inside the
// block and one byte before its end; each is refused before anything is
// written, so the copy keeps its bytes. A copy ending exactly behind the
// block is patched.
TEST_F(PatchWriter, ShortOutputIsRefusedUntouched) {
  const Bytes original = templateWith({testing::makeTexture("a", 4, 4, 1)});
  const TextureTable table = loadTable(original);
  std::fill_n(TextureRecord(table.records[0]).palette(), 768, 0x77);
  constexpr std::int64_t kBlockEnd = kTablePos + 40 + 803 + 8 + 21;
  for (const std::int64_t cut : {kTablePos + 40 + 803 + 2, kTablePos + 40 + 803 + 6,
                                 kTablePos + 40 + 803 + 8 + 10, kBlockEnd - 1}) {
    const auto length = static_cast<std::size_t>(cut);
    EXPECT_EQ(patch(original, table, false, length),
              Bytes(original.begin(), original.begin() + cut));
  }
  EXPECT_EQ(patch(original, table, true, kBlockEnd).size(), kBlockEnd);
}

// Also when the empty table ends the file, so no element size word follows.
TEST_F(PatchWriter, AnEmptyTableWritesNothing) {
  for (const Bytes& original :
       {templateWith({}), testing::buildTemplate({testing::textureTableChunk({})})}) {
    EXPECT_EQ(patch(original, loadTable(original)), original);
  }
}

}  // namespace
}  // namespace tintrod
