#include "bitmap/validate_bitmap.h"

#include "bitmap/bitmap_file.h"

#include <gtest/gtest.h>

#include <optional>

#include "tests/support/bitmap_builder.h"
#include "tests/support/scratch.h"
#include "util/coding.h"

namespace tintrod::testing {
namespace {

constexpr std::size_t kOffBits = 10;
constexpr std::size_t kInfoSize = 14;
constexpr std::size_t kWidth = 18;
constexpr std::size_t kBitCount = 28;
constexpr std::size_t kCompression = 30;

std::optional<Failure> verdict(const ScratchDir& dir, const Bytes& file, std::int32_t width = 32,
                               std::int32_t height = 32) {
  const std::string path = (dir / "in.bmp").string();
  writeFile(path, file);
  std::optional<Failure> failure;
  const auto line = failureOf([&] { return validateBitmap(width, height, path); });
  for (Failure f : {Failure::kBitmapOpen, Failure::kBitmapWidth, Failure::kBitmapHeight,
                    Failure::kBitmapDepth, Failure::kBitmapCorrupt}) {
    if (line && *line == failureLine(f, path)) failure = f;
  }
  if (line && !failure) ADD_FAILURE() << "unexpected line " << *line;
  return failure;
}

Bytes patched32(Bytes file, std::size_t offset, std::uint32_t value) {
  encodeFixed32(&file[offset], value);
  return file;
}

Bytes patched16(Bytes file, std::size_t offset, std::uint16_t value) {
  encodeFixed16(&file[offset], value);
  return file;
}

BitmapPlan withCompression(BitmapPlan plan, std::uint32_t compression) {
  plan.compression = compression;
  return plan;
}

TEST(ValidateBitmap, MissingFileCannotBeOpened) {
  ScratchDir dir;
  const std::string path = (dir / "absent dir/x.bmp").string();
  EXPECT_EQ(failureOf([&] { return validateBitmap(32, 32, path); }),
            failureLine(Failure::kBitmapOpen, path));
}

TEST(ValidateBitmap, ChecksRunInOrderAndTheFirstDecides) {
  ScratchDir dir;
  const Bytes good = encodeBitmap(makeBitmap(32, 32, 1));
  BitmapPlan deep = makeBitmap(32, 32, 1, 0);
  deep.bitCount = 24;
  BitmapPlan deepNarrow = deep;
  deepNarrow.width = 30;
  BitmapPlan topDown = makeBitmap(32, 32, 1);
  topDown.height = -32;
  const std::optional<Failure> none;
  EXPECT_EQ(verdict(dir, good), none);
  EXPECT_EQ(verdict(dir, good, 33, 33), Failure::kBitmapWidth);
  EXPECT_EQ(verdict(dir, good, 32, 31), Failure::kBitmapHeight);
  EXPECT_EQ(verdict(dir, encodeBitmap(deep)), Failure::kBitmapDepth);
  EXPECT_EQ(verdict(dir, encodeBitmap(deepNarrow)), Failure::kBitmapWidth);
  EXPECT_EQ(verdict(dir, encodeBitmap(topDown)), Failure::kBitmapHeight);
  EXPECT_EQ(verdict(dir, patched16(good, 0, 0x5858)), none);  // signature "XX"
  EXPECT_EQ(verdict(dir, patched32(good, kCompression, 2)), Failure::kBitmapDepth);
  EXPECT_EQ(verdict(dir, patched32(good, kCompression, 3)), Failure::kBitmapDepth);
  // Past its limit a file is read only as far as the limit: bytes after its
  // rows change nothing, and its headers still earn their line.
  const auto padded = [](Bytes file, std::int64_t size) {
    file.resize(static_cast<std::size_t>(size));
    return file;
  };
  const std::int64_t limit = maxBitmapFileSize(32, 32);
  EXPECT_EQ(verdict(dir, padded(good, limit)), none);
  EXPECT_EQ(verdict(dir, padded(good, limit + 1)), none);
  EXPECT_EQ(verdict(dir, padded(encodeBitmap(deepNarrow), limit + 1)), Failure::kBitmapWidth);
  EXPECT_EQ(verdict(dir, padded(encodeBitmap(deep), limit + 1)), Failure::kBitmapDepth);
}

TEST(ValidateBitmap, AcceptsSoundLayouts) {
  ScratchDir dir;
  for (std::uint32_t infoSize : {40u, 108u, 124u}) {
    for (std::uint32_t gap : {0u, 6u}) {
      for (std::uint32_t compression : {0u, 1u}) {
        BitmapPlan plan = withCompression(makeBitmap(32, 32, gap, 16), compression);
        plan.infoHeaderSize = infoSize;
        plan.gapBeforePixels = gap;
        EXPECT_EQ(verdict(dir, encodeBitmap(plan)), std::nullopt) << infoSize << " " << gap;
      }
    }
  }
}

TEST(ValidateBitmap, ShortFilesAreJudgedOnZeros) {
  ScratchDir dir;
  const Bytes good = encodeBitmap(makeBitmap(32, 32, 2));
  for (std::size_t length = 0; length < 54; ++length) {
    // A 32 is whole once the low byte of its field has arrived.
    const Failure expected = length <= kWidth       ? Failure::kBitmapWidth
                             : length <= kWidth + 4 ? Failure::kBitmapHeight
                             : length <= kBitCount  ? Failure::kBitmapDepth
                                                    : Failure::kBitmapCorrupt;
    EXPECT_EQ(verdict(dir, Bytes(good.begin(), good.begin() + length)), expected) << length;
  }
}

TEST(ValidateBitmap, RefusesLayoutsThatDoNotFitTheFile) {
  ScratchDir dir;
  BitmapPlan plan = makeBitmap(32, 32, 3, 16);
  const Bytes good = encodeBitmap(plan);
  const std::uint32_t tableEnd = 54 + 16 * 4;
  plan.colors.resize(256);
  plan.storeZeroColorCount = true;
  const Bytes full = encodeBitmap(plan);
  EXPECT_EQ(verdict(dir, patched32(good, kInfoSize, 39)), Failure::kBitmapCorrupt);
  EXPECT_EQ(verdict(dir, patched32(good, kOffBits, tableEnd - 1)), Failure::kBitmapCorrupt);
  EXPECT_EQ(verdict(dir, patched32(full, kOffBits, 54 + 255 * 4)), Failure::kBitmapCorrupt);
  EXPECT_EQ(verdict(dir, patched32(good, kOffBits, 0xFFFFFFFF)), Failure::kBitmapCorrupt);
  EXPECT_EQ(verdict(dir, patched32(good, kOffBits, tableEnd + 1)), Failure::kBitmapCorrupt);
  EXPECT_EQ(verdict(dir, patched32(good, kInfoSize, 0xFFFFFFF0)), Failure::kBitmapCorrupt);
  // Colour counts above the palette only reach as far as 256 entries.
  EXPECT_EQ(verdict(dir, patched32(full, 46, 100000)), std::nullopt);
}

TEST(ValidateBitmap, RefusesEveryTruncation) {
  ScratchDir dir;
  for (std::uint32_t compression : {0u, 1u}) {
    const Bytes good = encodeBitmap(withCompression(makeBitmap(10, 6, 4, 4), compression));
    ASSERT_EQ(verdict(dir, good, 10, 6), std::nullopt);
    for (std::size_t length = 54; length < good.size(); ++length) {
      EXPECT_EQ(verdict(dir, Bytes(good.begin(), good.begin() + length), 10, 6),
                Failure::kBitmapCorrupt)
          << compression << " " << length;
    }
  }
}

TEST(ValidateBitmap, RefusesRunsOutsideThePicture) {
  ScratchDir dir;
  BitmapPlan plan = withCompression(makeBitmap(4, 2, 5, 4), 1);
  const std::vector<std::pair<Bytes, bool>> streams = {
      {{4, 1, 0, 0, 4, 2, 0, 1}, true},
      {{5, 1, 0, 1}, false},
      {{0, 0, 0, 0, 1, 1, 0, 1}, false},
      {{0, 2, 3, 1, 2, 1, 0, 1}, false},
  };
  for (const auto& [stream, accepted] : streams) {
    plan.pixelData = stream;
    EXPECT_EQ(verdict(dir, encodeBitmap(plan), 4, 2).has_value(), !accepted);
  }
}

}  // namespace
}  // namespace tintrod::testing
