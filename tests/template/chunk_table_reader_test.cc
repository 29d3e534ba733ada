#include "template/chunk_table_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "tests/support/template_builder.h"
#include "tests/template/template_stream.h"
#include "util/coding.h"

namespace tintrod {
namespace {

using testing::appendBytes;
using testing::appendFixed32;
using testing::buildTemplate;
using testing::Bytes;
using testing::chunk;
using testing::tableChunk;
using testing::TemplateStream;

// What a read met, or nothing when it failed: a failure is always the
// template being corrupt.
std::optional<ChunkFound> found(const Result<ChunkFound>& result) {
  if (!result.ok()) {
    EXPECT_EQ(result.status().failure(), Failure::kTemplateCorrupt);
    return std::nullopt;
  }
  return *result;
}

Bytes filled(std::size_t length, std::uint8_t value) { return Bytes(length, value); }

// Column data for a variable column: element size, then count and content per record.
Bytes variableColumn(std::int32_t elementSize, const std::vector<Bytes>& contents) {
  Bytes out;
  appendFixed32(out, static_cast<std::uint32_t>(elementSize));
  for (const Bytes& content : contents) {
    appendFixed32(out, static_cast<std::uint32_t>(content.size() / elementSize));
    appendBytes(out, content);
  }
  return out;
}

TEST(CopyField, CopiesFixedLengthsOrATerminatedString) {
  char destination[8] = "xxxxxxx";
  copyField("ab\0d", 4, destination);
  EXPECT_EQ(std::memcmp(destination, "ab\0dxxx", 8), 0);
  copyField("hi", -1, destination);
  EXPECT_EQ(std::memcmp(destination, "hi\0dxxx", 8), 0);
}

TEST(ChunkTableReader, PeekTagLeavesTheStreamAndTheFifthByte) {
  TemplateStream file(buildTemplate({chunk("ABCD", {})}));
  ChunkTableReader reader;
  char tag[6] = "....!";
  ASSERT_TRUE(reader.peekTag(file.stream(), tag));
  EXPECT_STREQ(tag, "ABCD!");
  EXPECT_EQ(file.stream().position(), 20);
  TemplateStream shortTag(Bytes{'A', 'B', 'C'}, 0);
  EXPECT_FALSE(reader.peekTag(shortTag.stream(), tag));
}

TEST(ChunkTableReader, SkipChunkConsumesOnlyTheExpectedTag) {
  TemplateStream file(buildTemplate({chunk("ABCD", {}), chunk("WXYZ", {1, 2, 3})}));
  InputFile& stream = file.stream();
  ChunkTableReader reader;
  EXPECT_EQ(found(reader.skipChunk(stream, "ABCD")), ChunkFound::kChunk);
  EXPECT_EQ(stream.position(), 28);  // a size of 4: the next tag follows the size word
  EXPECT_EQ(found(reader.skipChunk(stream, "LTXH")), ChunkFound::kOtherTag);
  EXPECT_STREQ(reader.tag(), "WXYZ");
  EXPECT_EQ(stream.position(), 28);
  EXPECT_EQ(found(reader.skipChunk(stream, "WXYZ")), ChunkFound::kChunk);
  EXPECT_EQ(reader.chunkSize(), 7);
  EXPECT_EQ(stream.position(), stream.size());
}

TEST(ChunkTableReader, SkipChunkRefusesBrokenFrames) {
  const std::vector<Bytes> frames = {
      {'A', 'B', 'C'},                               // short tag
      {'A', 'B', 'C', 'D', 4, 0},                    // short size word
      {'A', 'B', 'C', 'D', 3, 0, 0, 0},              // size below 4
      {'A', 'B', 'C', 'D', 0xFF, 0xFF, 0xFF, 0xFF},  // negative size
      {'A', 'B', 'C', 'D', 6, 0, 0, 0, 1},           // runs past the end of the file
  };
  for (const Bytes& frame : frames) {
    TemplateStream file(frame, 0);
    ChunkTableReader reader;
    EXPECT_EQ(found(reader.skipChunk(file.stream(), "ABCD")), std::nullopt) << frame.size();
  }
}

TEST(ChunkTableReader, BuildsRecordsAtDerivedOffsets) {
  const Bytes columns = [] {
    Bytes data = {1, 0, 2, 0, 3, 0, 4, 0, 5, 6};  // two records of 2, 2 and 1 bytes
    appendBytes(data, filled(30, 'n'));
    appendBytes(data, filled(30, 'm'));
    appendBytes(data, filled(768, 0x11));
    appendBytes(data, filled(768, 0x22));
    appendBytes(data, variableColumn(2, {{7, 8, 9, 10}, {}}));
    return data;
  }();
  TemplateStream file(buildTemplate({tableChunk("TABL", 2, {2, 2, 1, 30, 768, -1}, columns)}));
  ChunkTableReader reader;
  ASSERT_EQ(found(reader.readTableChunk(file.stream())), ChunkFound::kChunk);
  EXPECT_EQ(reader.dataPos(), 20 + 40);
  EXPECT_EQ(file.stream().position(), file.stream().size());
  const Result<BuiltRecords> result = reader.buildRecords(807);
  ASSERT_TRUE(result.ok());
  const BuiltRecords& built = *result;
  ASSERT_EQ(built.count, 2);
  EXPECT_EQ(reader.fieldCount(), 6);

  const std::uint8_t* first = built.records;
  const std::uint8_t* second = built.records + 807;
  EXPECT_EQ(decodeFixed16(first), 1);
  EXPECT_EQ(decodeFixed16(second + 2), 4);
  EXPECT_EQ(second[4], 6);
  EXPECT_EQ(first[34], 'n');
  EXPECT_EQ(second[35], 0x22);
  const std::uint8_t* block = reader.block(decodeFixed32(first + 803));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(Bytes(block, block + 4), (Bytes{7, 8, 9, 10}));
  EXPECT_EQ(decodeFixed32(second + 803), 0u);  // a zero count leaves the slot null
  EXPECT_EQ(reader.block(0), nullptr);
  EXPECT_EQ(reader.block(2), nullptr);
}

TEST(ChunkTableReader, DropsTrailingColumnsThatDoNotFit) {
  Bytes columns = {1, 0, 2, 0, 3};
  appendBytes(columns, filled(30, 'n'));
  appendBytes(columns, filled(768, 0x11));
  appendBytes(columns, variableColumn(1, {{9}}));
  TemplateStream file(buildTemplate({tableChunk("TABL", 1, {2, 2, 1, 30, 768, -1}, columns)}));
  ChunkTableReader reader;
  ASSERT_EQ(found(reader.readTableChunk(file.stream())), ChunkFound::kChunk);
  const Result<BuiltRecords> result = reader.buildRecords(806);
  ASSERT_TRUE(result.ok());
  const BuiltRecords& built = *result;
  EXPECT_EQ(reader.fieldCount(), 5);
  EXPECT_EQ(Bytes(built.records + 803, built.records + 806), (Bytes{0, 0, 0}));
  EXPECT_EQ(reader.block(1), nullptr);  // the dropped column's data was never consumed
}

TEST(ChunkTableReader, EmptyTableAndEndChunk) {
  Bytes first = tableChunk("TABL", 1, {1}, {42});
  TemplateStream file(buildTemplate({first, testing::emptyTableChunk("LTXH"), chunk("END!", {})}));
  InputFile& stream = file.stream();
  ChunkTableReader reader;
  ASSERT_EQ(found(reader.readTableChunk(stream)), ChunkFound::kChunk);
  const std::int64_t emptyTable = stream.position();
  ASSERT_EQ(found(reader.readTableChunk(stream)), ChunkFound::kChunk);
  EXPECT_EQ(stream.position(), emptyTable + 12);
  EXPECT_EQ(reader.recordCount(), 0);
  EXPECT_EQ(reader.fieldCount(), 0);
  const BuiltRecords built = *reader.buildRecords(807);
  EXPECT_EQ(built.records, nullptr);
  EXPECT_EQ(built.count, 0);

  EXPECT_EQ(found(reader.readTableChunk(stream)), ChunkFound::kEndChunk);
  EXPECT_EQ(stream.position(), emptyTable + 20);
  EXPECT_STREQ(reader.tag(), "END!");
}

TEST(ChunkTableReader, BufferPolicyAcrossReads) {
  struct Read {
    std::int32_t dataLength;
    bool reused;
  };
  const Read reads[] = {
      {100, false},                 // a buffer of L + 32768
      {32868, true},                // fits exactly
      {32869, false},               // too large: replaced
      {70000, false}, {10, false},  // the previous buffer was beyond 100000
      {0, true},
  };
  std::vector<Bytes> chunks;
  for (const Read& read : reads) {
    chunks.push_back(tableChunk("TABL", 1, {0}, filled(read.dataLength, 7)));
  }
  TemplateStream file(buildTemplate(chunks));
  ChunkTableReader reader;
  for (const Read& read : reads) {
    const std::uint8_t* before = reader.columnData().data();
    ASSERT_EQ(found(reader.readTableChunk(file.stream())), ChunkFound::kChunk);
    if (read.reused) {
      EXPECT_EQ(reader.columnData().data(), before) << read.dataLength;
    }
    EXPECT_EQ(reader.columnData().size(), static_cast<std::size_t>(read.dataLength));
  }
}

TEST(ChunkTableReader, ZeroDataLengthOnAFreshReaderAllocatesNothing) {
  TemplateStream file(buildTemplate({tableChunk("TABL", 3, {0}, {})}));
  ChunkTableReader reader;
  ASSERT_EQ(found(reader.readTableChunk(file.stream())), ChunkFound::kChunk);
  EXPECT_EQ(reader.columnData().data(), nullptr);
}

TEST(ChunkTableReader, RefusesBrokenTableHeads) {
  const Bytes good = tableChunk("TABL", 1, {1}, {5});  // size 17
  auto damaged = [&](std::size_t offset, std::int32_t value) {
    Bytes bytes = good;
    testing::putWord(bytes, offset, value);
    return bytes;
  };
  const std::vector<std::pair<std::string, Bytes>> cases = {
      {"size below 8", damaged(4, 7)},
      {"size below 12 + 4F", damaged(4, 15)},
      {"chunk past the file", damaged(4, 18)},
      {"negative N", damaged(8, -1)},
      {"negative F", damaged(12, -1)},
      {"F above 20", tableChunk("TABL", 1, std::vector<std::int32_t>(21, 1), filled(21, 0))},
      {"width below -1", damaged(16, -2)},
      {"gigabytes claimed", damaged(4, 0x7FFFFFF0)},
      {"short size word", Bytes(good.begin(), good.begin() + 6)},
      {"short column sizes", Bytes(good.begin(), good.begin() + 18)},
  };
  for (const auto& [name, bytes] : cases) {
    TemplateStream file(bytes, 0);
    ChunkTableReader reader;
    EXPECT_EQ(found(reader.readTableChunk(file.stream())), std::nullopt) << name;
    EXPECT_EQ(reader.columnData().data(), nullptr) << name;
    EXPECT_EQ(reader.recordCount(), 0) << name;
  }
}

TEST(ChunkTableReader, AFailedReadLeavesNoTableBehind) {
  Bytes broken = tableChunk("TABL", 1, {1}, {5});
  testing::putWord(broken, 8, -1);
  TemplateStream file(buildTemplate({tableChunk("TABL", 2, {1}, {5, 6}), broken}));
  ChunkTableReader reader;
  ASSERT_EQ(found(reader.readTableChunk(file.stream())), ChunkFound::kChunk);
  EXPECT_EQ(found(reader.readTableChunk(file.stream())), std::nullopt);
  EXPECT_EQ(reader.buildRecords(807)->count, 0);
}

TEST(ChunkTableReader, RefusesColumnDataThatDoesNotAddUp) {
  struct Case {
    std::string name;
    std::int32_t recordCount;
    std::vector<std::int32_t> fieldSizes;
    Bytes data;
  };
  const Bytes countOfTwo = {1, 0, 0, 0, 2, 0, 0, 0};
  const std::vector<Case> cases = {
      {"first column wider than the record", 1, {808}, filled(808, 0)},
      {"fixed column short", 2, {4}, filled(6, 0)},
      {"records without data", 5, {0, 0}, {}},
      {"element size missing", 1, {-1}, {1, 0}},
      {"negative element size", 1, {-1}, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}},
      {"negative element count", 1, {-1}, {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"content past the data", 1, {-1}, countOfTwo},
      {"count word missing", 2, {-1}, {1, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    TemplateStream file(tableChunk("TABL", c.recordCount, c.fieldSizes, c.data), 0);
    ChunkTableReader reader;
    ASSERT_EQ(found(reader.readTableChunk(file.stream())), ChunkFound::kChunk) << c.name;
    EXPECT_EQ(reader.buildRecords(807).status().line(), failureLine(Failure::kTemplateCorrupt))
        << c.name;
  }
}

}  // namespace
}  // namespace tintrod
