#include "template/texture_table.h"

#include <gtest/gtest.h>

#include <string>

#include "template/chunk_table_reader.h"
#include "template/feeding_slots.h"
#include "tests/support/template_builder.h"
#include "tests/template/template_stream.h"

namespace tintrod {
namespace {

using testing::buildTemplate;
using testing::Bytes;
using testing::chunk;
using testing::makeTexture;
using testing::TemplateStream;
using testing::TexturePlan;
using testing::textureTableChunk;

const std::string kCorruptLine = "cue stick file is corrupt\n";

struct Outcome {
  std::optional<std::string> failure;
  std::vector<std::string> names;  // of the records, in table order
  std::int64_t tablePos = -1;
  std::vector<TextureRecord> records;
  std::int64_t endPosition = -1;
};

// Loads with its own reader, so the records die with `reader`.
Outcome load(ChunkTableReader& reader, const Bytes& bytes) {
  TemplateStream file(bytes);
  Outcome outcome;
  ::testing::internal::CaptureStdout();
  outcome.failure = testing::failureOf([&] {
    Result<TextureTable> table = readTextureTable(reader, file.stream());
    if (table.ok()) {
      outcome.tablePos = table->tablePos;
      outcome.records = table->records;
    }
    return table;
  });
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << "only the program lists names";
  for (const TextureRecord& record : outcome.records) outcome.names.emplace_back(record.name());
  outcome.endPosition = file.stream().position();
  return outcome;
}

std::vector<TexturePlan> twoTextures() {
  return {makeTexture("zbrubber", 8, 4, 1), makeTexture("zbshaft", 4, 4, 2)};
}

TEST(ReadTextureTable, MaterialisesRecordsInTableOrder) {
  const auto textures = twoTextures();
  ChunkTableReader reader;
  const Outcome outcome = load(reader, buildTemplate({textureTableChunk(textures)}));
  ASSERT_FALSE(outcome.failure) << *outcome.failure;
  EXPECT_EQ(outcome.tablePos, 20);
  ASSERT_EQ(outcome.records.size(), 2u);
  for (std::size_t i = 0; i < textures.size(); ++i) {
    const TextureRecord& record = outcome.records[i];
    EXPECT_EQ(record.name(), textures[i].name);
    EXPECT_EQ(record.width(), textures[i].width);
    EXPECT_EQ(record.height(), textures[i].height);
    EXPECT_TRUE(std::equal(record.palette(), record.palette() + 768, textures[i].palette.begin()));
    EXPECT_EQ(Bytes(record.pixels(), record.pixels() + record.pixelBlockSize()),
              textures[i].pixels);
  }
  EXPECT_EQ(load(reader, buildTemplate({chunk("ABCD", {1})})).failure, kCorruptLine);
}

TEST(TextureRecord, LevelsFollowEachOtherAtHalvedSizes) {
  ChunkTableReader reader;
  const Outcome outcome =
      load(reader, buildTemplate({textureTableChunk(
                       {makeTexture("odd", 5, 3, 1), makeTexture("flat", 0, 4, 2)})}));
  ASSERT_FALSE(outcome.failure);
  const TextureRecord& odd = outcome.records[0];
  struct Expected {
    std::int64_t offset;
    std::int32_t width, height;
  };
  const Expected levels[] = {{0, 5, 3}, {15, 2, 1}, {17, 1, 0}};
  for (int index = 0; index < 3; ++index) {
    const PixelLevel level = odd.level(index);
    EXPECT_EQ(level.pixels - odd.pixels(), levels[index].offset) << index;
    EXPECT_EQ(level.width, levels[index].width) << index;
    EXPECT_EQ(level.height, levels[index].height) << index;
  }
  EXPECT_EQ(outcome.records[1].level(1).pixels, nullptr);
  EXPECT_EQ(outcome.records[1].level(1).height, 2);
}

TEST(ReadTextureTable, SkipsEveryChunkBeforeTheFirstTable) {
  const Bytes endChunk = chunk("END!", Bytes(8, 0));
  const Bytes hidden = chunk("WRAP", textureTableChunk({makeTexture("inner", 4, 4, 3)}));
  const Bytes later = textureTableChunk({makeTexture("later", 4, 4, 4)});
  ChunkTableReader reader;
  const Bytes bytes =
      buildTemplate({chunk("ABCD", {}), endChunk, hidden, textureTableChunk(twoTextures()), later});
  const Outcome outcome = load(reader, bytes);
  ASSERT_FALSE(outcome.failure);
  EXPECT_EQ(outcome.tablePos, 20 + 8 + 16 + static_cast<std::int64_t>(hidden.size()));
  EXPECT_EQ(outcome.names, (std::vector<std::string>{"zbrubber", "zbshaft"}));
  EXPECT_EQ(outcome.endPosition, static_cast<std::int64_t>(bytes.size() - later.size()));

  ChunkTableReader another;
  const Outcome plain =
      load(another, buildTemplate({chunk("ABCD", {}), endChunk, textureTableChunk(twoTextures())}));
  EXPECT_EQ(plain.tablePos, 44);
}

TEST(ReadTextureTable, EmptyTableHoldsNothing) {
  ChunkTableReader reader;
  const Outcome outcome = load(reader, buildTemplate({textureTableChunk({}), chunk("TAIL", {})}));
  ASSERT_FALSE(outcome.failure);
  EXPECT_TRUE(outcome.records.empty());
  EXPECT_EQ(outcome.endPosition, 20 + 12);
}

TEST(ReadTextureTable, FindsTheFirstRecordOfAName) {
  auto textures = twoTextures();
  textures.push_back(makeTexture("zbrubber", 4, 8, 5));
  ChunkTableReader reader;
  const Outcome outcome = load(reader, buildTemplate({textureTableChunk(textures)}));
  ASSERT_FALSE(outcome.failure);
  EXPECT_EQ(outcome.names, (std::vector<std::string>{"zbrubber", "zbshaft", "zbrubber"}));
  TextureTable table{outcome.tablePos, outcome.records};
  ASSERT_TRUE(table.find("zbrubber"));
  EXPECT_EQ(table.find("zbrubber")->width(), 8);
  EXPECT_FALSE(table.find("zbrubbe"));
  EXPECT_FALSE(table.find("ZBRUBBER"));
  // The slots feed the same records the run fills, the later namesake none.
  const std::vector<const SkinSlot*> slots = feedingSlots(table);
  ASSERT_EQ(slots.size(), 3u);
  EXPECT_EQ(slots[0], skinSlotNamed("bumper"));
  EXPECT_EQ(slots[1], skinSlotNamed("shaft"));
  EXPECT_EQ(slots[2], nullptr);
}

// A two-texture template with one field changed: offsets count from the tag.
Bytes damagedTable(std::size_t offset, std::int32_t value) {
  Bytes table = textureTableChunk(twoTextures());
  testing::putWord(table, offset, value);
  return buildTemplate({table});
}

Bytes withColumns(const std::vector<std::int32_t>& fieldSizes) {
  return buildTemplate(
      {testing::tableChunk("LTXH", 2, fieldSizes, testing::textureColumnData(twoTextures()))});
}

TEST(ReadTextureTable, RefusesCorruptTemplates) {
  // Two textures: the element size word lies at 40 + 803 * 2 from the tag,
  // the first count word behind it, the first pixel block (42 bytes) after that.
  constexpr std::size_t kElementSize = 40 + 803 * 2;
  constexpr std::size_t kFirstCount = kElementSize + 4;
  constexpr std::size_t kSecondCount = kFirstCount + 4 + 42;
  const std::size_t tableSize = textureTableChunk(twoTextures()).size();
  Bytes unterminated = textureTableChunk(twoTextures());
  std::fill_n(unterminated.begin() + 40 + 2 * 5, 30, 'x');
  Bytes flatTable = buildTemplate({textureTableChunk({makeTexture("flat", 0, 4, 1)})});
  testing::putWord(flatTable, 20 + 40 + 803, 0);
  Bytes trailingGarbage = textureTableChunk(twoTextures());
  trailingGarbage.insert(trailingGarbage.end(), 8, 0);

  const std::vector<std::pair<std::string, Bytes>> cases = {
      {"no table", buildTemplate({chunk("ABCD", {1})})},
      {"nothing behind the header", buildTemplate({})},
      {"chunk size below 4", buildTemplate({Bytes{'A', 'B', 'C', 'D', 3, 0, 0, 0}})},
      {"chunk past the end", buildTemplate({Bytes{'A', 'B', 'C', 'D', 9, 0, 0, 0}})},
      {"empty table of size 4", buildTemplate({Bytes{'L', 'T', 'X', 'H', 4, 0, 0, 0, 0, 0}})},
      {"table past the end", damagedTable(4, static_cast<std::int32_t>(tableSize - 3))},
      {"data past the chunk", damagedTable(4, static_cast<std::int32_t>(tableSize - 5))},
      {"negative N", damagedTable(8, -1)},
      {"size below 12 + 4F", damagedTable(4, 12 + 4 * 6 - 1)},
      {"N of a billion", damagedTable(8, 1000000000)},
      {"five columns", withColumns({2, 2, 1, 30, 768})},
      {"seven columns", withColumns({2, 2, 1, 30, 768, -1, 0})},
      {"leading columns of 34", withColumns({2, 2, 1, 29, 768, -1})},
      {"leading columns of 36", withColumns({2, 2, 1, 31, 768, -1})},
      {"variable leading column", withColumns({-1, 5, 1, 30, 768, -1})},
      {"palette of 767", withColumns({2, 2, 1, 30, 767, -1})},
      {"fixed pixel column", withColumns({2, 2, 1, 30, 768, 4})},
      {"element size 0", damagedTable(kElementSize, 0)},
      {"element size 2 with the counts of 1", damagedTable(kElementSize, 2)},
      {"element size 0 over empty blocks", flatTable},
      {"count one short", damagedTable(kFirstCount, 41)},
      {"negative count", damagedTable(kSecondCount, -21)},
      {"zero count for a sized texture", damagedTable(kSecondCount, 0)},
      {"unterminated name", buildTemplate({unterminated})},
      {"gigabytes claimed", damagedTable(4, 0x7FFFFFF0)},
  };
  for (const auto& [name, bytes] : cases) {
    ChunkTableReader reader;
    const Outcome outcome = load(reader, bytes);
    EXPECT_EQ(outcome.failure, kCorruptLine) << name;
  }
  ChunkTableReader reader;
  EXPECT_FALSE(load(reader, buildTemplate({trailingGarbage})).failure);
}

TEST(ReadTextureTable, GigabyteClaimsFailAtOnce) {
  // One 4 x 4 texture: the element size word lies at 40 + 803 from the tag,
  // the count word behind it; the width and height words open the data at 40.
  const auto oneTexture = [](std::size_t offset, std::int32_t value) {
    Bytes table = textureTableChunk({makeTexture("zbrubber", 4, 4, 1)});
    testing::putWord(table, offset, value);
    return buildTemplate({table});
  };
  constexpr std::int32_t kHuge = 0x7FFFFFFF;
  const std::vector<std::pair<std::string, Bytes>> cases = {
      {"chunk skipped by 2 GB", buildTemplate({Bytes{'A', 'B', 'C', 'D', 0xFF, 0xFF, 0xFF, 0x7F}})},
      {"table of 2 GB", oneTexture(4, kHuge)},
      {"N of 2^31 - 1", oneTexture(8, kHuge)},
      {"F of 2^31 - 1", oneTexture(12, kHuge)},
      {"palette column of 2 GB", oneTexture(16 + 4 * 4, kHuge)},
      {"texture of 65535 x 65535", oneTexture(40, -1)},
      {"element size of 2 GB", oneTexture(40 + 803, kHuge)},
      {"element count of 2^31 - 1", oneTexture(40 + 803 + 4, kHuge)},
  };
  for (const auto& [name, bytes] : cases) {
    ChunkTableReader reader;
    EXPECT_EQ(load(reader, bytes).failure, kCorruptLine) << name;
  }
}

TEST(ReadTextureTable, AcceptsOtherLegalLayouts) {
  // Element size 2 with halved counts describes the same blocks.
  const std::vector<TexturePlan> even = {makeTexture("a", 8, 4, 1), makeTexture("b", 8, 8, 2)};
  Bytes data = testing::textureColumnData(even);
  constexpr std::size_t kElementSize = 803 * 2;
  testing::putWord(data, kElementSize, 2);
  testing::putWord(data, kElementSize + 4, 21);
  testing::putWord(data, kElementSize + 8 + 42, 42);
  ChunkTableReader reader;
  const Outcome halved = load(
      reader, buildTemplate({testing::tableChunk("LTXH", 2, testing::kTextureFieldSizes, data)}));
  ASSERT_FALSE(halved.failure);
  const TextureRecord& second = halved.records[1];
  EXPECT_EQ(Bytes(second.pixels(), second.pixels() + second.pixelBlockSize()), even[1].pixels);

  // Leading columns of 4, 0, 1 and 30 bytes: record 0 takes both widths (8, 4),
  // record 1 both heights (4, 4).
  ChunkTableReader another;
  const Outcome regrouped = load(another, withColumns({4, 0, 1, 30, 768, -1}));
  ASSERT_FALSE(regrouped.failure);
  EXPECT_EQ(regrouped.records[0].height(), 4);
  EXPECT_EQ(regrouped.records[1].width(), 4);
}

TEST(ReadTextureTable, RefusesEveryTruncation) {
  const Bytes whole = buildTemplate({chunk("ABCD", {1, 2, 3}), textureTableChunk(twoTextures())});
  for (std::size_t length = 20; length < whole.size(); ++length) {
    ChunkTableReader reader;
    const Outcome outcome = load(reader, Bytes(whole.begin(), whole.begin() + length));
    ASSERT_EQ(outcome.failure, kCorruptLine) << length;
  }
}

}  // namespace
}  // namespace tintrod
