#include "bitmap/pixel_rows.h"

#include <gtest/gtest.h>

#include <array>

#include "tests/support/scratch.h"
#include "util/coding.h"
#include "util/input_file.h"

namespace tintrod::testing {
namespace {

// A stream over `bytes`, kept in a file of its own.
class Stream {
  ScratchDir dir_;  // first, so that it outlives the open file: Windows removes no open file

 public:
  explicit Stream(const Bytes& bytes) {
    writeFile(dir_ / "rows", bytes);
    EXPECT_TRUE(file.open((dir_ / "rows").string()).ok());
  }
  InputFile file;
};

using Bgr = std::array<std::uint8_t, 3>;

// Converts each (B, G, R) from a 24-bit and a 32-bit row and checks both.
void expectSixteenBit(std::int32_t format,
                      const std::vector<std::pair<Bgr, std::uint16_t>>& cases) {
  Bytes row24;
  Bytes row32;
  for (const auto& [bgr, unused] : cases) {
    row24.insert(row24.end(), bgr.begin(), bgr.end());
    row32.insert(row32.end(), {bgr[0], bgr[1], bgr[2], 0xFF});
  }
  for (const auto& [bitCount, row] : {std::pair{24, row24}, std::pair{32, row32}}) {
    Stream stream(row);
    Bytes out(2 * cases.size());
    const auto width = static_cast<std::int32_t>(cases.size());
    ASSERT_TRUE(readPixelRows(format, bitCount, out.data(), 0,
                              static_cast<std::int32_t>(row.size()), width, 1, stream.file, 0,
                              nullptr));
    for (std::size_t j = 0; j < cases.size(); ++j) {
      EXPECT_EQ(decodeFixed16(&out[2 * j]), cases[j].second)
          << format << " " << bitCount << " " << j;
    }
  }
}

TEST(PixelRows, SixteenBitIsFiveSixFive) {
  expectSixteenBit(16, {{{0, 0, 255}, 0xF800},
                        {{0, 255, 0}, 0x07E0},
                        {{255, 0, 0}, 0x001F},
                        {{255, 255, 255}, 0xFFFF},
                        {{7, 3, 7}, 0x0000},
                        {{16, 32, 48}, 0x3102}});
}

TEST(PixelRows, FifteenBitFlagsEveryPixelButBlack) {
  expectSixteenBit(15, {{{0, 0, 0}, 0x0000},
                        {{1, 2, 3}, 0x8000},
                        {{0, 0, 255}, 0xFC00},
                        {{0, 255, 0}, 0x83E0},
                        {{255, 0, 0}, 0x801F},
                        {{255, 255, 255}, 0xFFFF},
                        {{16, 32, 48}, 0x9882}});
}

TEST(PixelRows, ThirtyTwoBitKeepsTheFourthByte) {
  for (std::int32_t bitCount : {24, 32}) {
    Stream stream({1, 2, 3, 9, 4, 5, 6, 9});
    Bytes out(8, 0xAA);
    const std::int32_t stride = bitCount == 24 ? 6 : 8;
    ASSERT_TRUE(readPixelRows(32, bitCount, out.data(), 0, stride, 2, 1, stream.file, 0, nullptr));
    const Bytes expected =
        bitCount == 24 ? Bytes{1, 2, 3, 0xAA, 9, 4, 5, 0xAA} : Bytes{1, 2, 3, 0xAA, 4, 5, 6, 0xAA};
    EXPECT_EQ(out, expected);
  }
}

TEST(PixelRows, ColorTableLowHalfOnly) {
  std::array<std::uint32_t, 256> table{};
  table[1] = 0x1234;
  table[2] = 0xFFFF1234;
  table[3] = 0xABCD0007;
  for (std::int32_t format : {15, 16}) {
    Stream stream({1, 2, 3, 0});
    Bytes out(6);
    ASSERT_TRUE(readPixelRows(format, 8, out.data(), 0, 4, 3, 1, stream.file, 0, table.data()));
    EXPECT_EQ(out, (Bytes{0x34, 0x12, 0x34, 0x12, 0x07, 0x00}));
  }
}

TEST(PixelRows, PlacesRowsAndSkipsTails) {
  // Three rows of 8 bytes, 6 pixels each, into rows 10 bytes apart.
  Bytes rows;
  for (std::uint8_t r = 1; r <= 3; ++r) {
    for (std::uint8_t j = 0; j < 8; ++j) rows.push_back(static_cast<std::uint8_t>(r * 16 + j));
  }
  for (std::int32_t flip : {0, 1}) {
    Stream stream(rows);
    Bytes out(26, 0xCC);
    ASSERT_TRUE(readPixelRows(8, 8, out.data(), 10, 8, 6, 3, stream.file, flip, nullptr));
    EXPECT_EQ(stream.file.position(), 24);
    for (int i = 0; i < 3; ++i) {
      const int slot = flip != 0 ? 2 - i : i;
      const Bytes expected(rows.begin() + 8 * i, rows.begin() + 8 * i + 6);
      EXPECT_EQ(Bytes(out.begin() + 10 * slot, out.begin() + 10 * slot + 6), expected);
      if (slot < 2) {
        EXPECT_EQ(Bytes(out.begin() + 10 * slot + 6, out.begin() + 10 * slot + 10), Bytes(4, 0xCC));
      }
    }
  }
}

TEST(PixelRows, DoesNothingForUnsupportedOrUnsoundRequests) {
  std::array<std::uint32_t, 256> table{};
  struct Case {
    std::int32_t dstFormat, srcBitCount, dstStride, srcStride, width, rows;
    bool withTable, expected;
  };
  const Case cases[] = {
      {8, 8, 4, 4, 4, 0, false, true},  // no rows
      {8, 8, 4, 4, 4, -3, false, true},
      {8, 8, 0, 0, 0, 2147483647, false, true},  // rows of nothing
      {8, 16, 4, 4, 4, 1, false, false},         // unsupported pairs
      {24, 24, 12, 12, 4, 1, false, false},
      {32, 8, 16, 4, 4, 1, false, false},
      {8, 24, 4, 12, 4, 1, false, false},
      {8, 8, 4, 4, -1, 1, false, false},  // nonsense parameters
      {8, 8, -4, 4, 4, 2, false, false},
      {8, 8, 4, -4, 4, 1, false, false},
      {8, 8, 4, 3, 4, 1, false, false},
      {32, 24, 16, 11, 4, 1, false, false},
      {16, 8, 8, 4, 4, 1, false, false},  // colour table missing
      {16, 8, 8, 4, 4, 1, true, true},
  };
  for (const auto& c : cases) {
    Stream stream(Bytes(64, 1));
    Bytes out(64, 0xCC);
    EXPECT_EQ(readPixelRows(c.dstFormat, c.srcBitCount, out.data(), c.dstStride, c.srcStride,
                            c.width, c.rows, stream.file, 0, c.withTable ? table.data() : nullptr),
              c.expected);
    if (!c.expected || c.rows <= 0 || c.width == 0) {
      EXPECT_EQ(stream.file.position(), 0);
      EXPECT_EQ(out, Bytes(64, 0xCC));
    }
  }
}

TEST(PixelRows, ShortStreamsReportAndConvertZeros) {
  {
    Stream stream({1, 2, 3, 4, 5, 6});
    Bytes out(8, 0xCC);
    EXPECT_FALSE(readPixelRows(8, 8, out.data(), 4, 4, 4, 2, stream.file, 0, nullptr));
    EXPECT_EQ(out, (Bytes{1, 2, 3, 4, 5, 6, 0xCC, 0xCC}));
  }
  {
    // The second row's green and red are missing, not left over from the first.
    Stream stream({0, 0, 255, 255});
    Bytes out(4, 0xCC);
    EXPECT_FALSE(readPixelRows(16, 24, out.data(), 2, 3, 1, 2, stream.file, 0, nullptr));
    EXPECT_EQ(out, (Bytes{0x00, 0xF8, 0x1F, 0x00}));
  }
  {
    Stream stream({1, 2, 3, 4, 5});  // the last row's tail is missing
    Bytes out(4, 0xCC);
    EXPECT_FALSE(readPixelRows(8, 8, out.data(), 2, 3, 2, 2, stream.file, 0, nullptr));
  }
}

}  // namespace
}  // namespace tintrod::testing
