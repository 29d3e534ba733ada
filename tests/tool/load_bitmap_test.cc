#include "tool/load_bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "tests/support/bitmap_builder.h"
#include "tests/support/scratch.h"
#include "tests/tool/texture_fixture.h"
#include "util/coding.h"

namespace tintrod::testing {
namespace {

struct Loaded {
  std::optional<std::string> failure;
  Bytes palette;
  Bytes levelZero;
  bool restUntouched = false;  // levels 1 and 2
};

Loaded load(const ScratchDir& dir, const Bytes& file, std::uint16_t width, std::uint16_t height,
            std::size_t area) {
  const std::string path = (dir / "in.bmp").string();
  writeFile(path, file);
  TextureFixture texture(width, height);
  TextureRecord record = texture.record();
  Loaded loaded;
  loaded.failure = failureOf([&] { return loadBitmapIntoTexture(record, path); });
  loaded.palette = texture.palette();
  loaded.levelZero = texture.levelZero(area);
  loaded.restUntouched =
      std::all_of(texture.pixels.begin() + static_cast<std::ptrdiff_t>(area), texture.pixels.end(),
                  [](std::uint8_t b) { return b == 0x5A; });
  return loaded;
}

Bytes paletteOf(const BitmapPlan& plan) {
  Bytes palette(kPaletteSize, 0);
  for (std::size_t i = 0; i < plan.colors.size(); ++i) {
    std::copy(plan.colors[i].begin(), plan.colors[i].end(), palette.begin() + 3 * i);
  }
  return palette;
}

void expectLoadsAs(const ScratchDir& dir, const BitmapPlan& plan, const std::string& what) {
  const auto area = static_cast<std::size_t>(plan.width * plan.height);
  const Loaded loaded = load(dir, encodeBitmap(plan), static_cast<std::uint16_t>(plan.width),
                             static_cast<std::uint16_t>(plan.height), area);
  EXPECT_EQ(loaded.failure, std::nullopt) << what;
  EXPECT_EQ(loaded.palette, paletteOf(plan)) << what;
  EXPECT_EQ(loaded.levelZero, plan.indices) << what;  // the file's first row first
  EXPECT_TRUE(loaded.restUntouched) << what;
}

TEST(LoadBitmap, LoadsPaletteAndRowsInFileOrder) {
  ScratchDir dir;
  for (int colors : {256, 16, 2}) {
    for (std::uint32_t compression : {0u, 1u}) {
      BitmapPlan plan = makeBitmap(32, 16, static_cast<std::uint32_t>(colors), colors);
      plan.compression = compression;
      expectLoadsAs(dir, plan, "colours " + std::to_string(colors));
      plan.infoHeaderSize = 108;
      expectLoadsAs(dir, plan, "V4 header");
      plan.infoHeaderSize = 124;
      plan.gapBeforePixels = 10;
      expectLoadsAs(dir, plan, "V5 header and a gap");
    }
  }
  BitmapPlan stored = makeBitmap(128, 128, 9);
  stored.storeZeroColorCount = true;
  expectLoadsAs(dir, stored, "colour count stored as 0");
}

TEST(LoadBitmap, PaletteEntriesAreBlueGreenRed) {
  ScratchDir dir;
  BitmapPlan plan = makeBitmap(4, 1, 0, 1);
  Bytes file = encodeBitmap(plan);
  const Bytes entry = {0x10, 0x20, 0x30, 0xFF};
  std::copy(entry.begin(), entry.end(), file.begin() + 54);
  const Loaded loaded = load(dir, file, 4, 1, 4);
  EXPECT_EQ(Bytes(loaded.palette.begin(), loaded.palette.begin() + 4),
            (Bytes{0x30, 0x20, 0x10, 0x00}));
}

TEST(LoadBitmap, ColourCountsBeyondThePaletteReadOnly256Entries) {
  ScratchDir dir;
  const BitmapPlan plan = makeBitmap(8, 4, 6);
  for (std::uint32_t count : {257u, 100000u, 0xFFFFFFFFu}) {
    Bytes file = encodeBitmap(plan);
    encodeFixed32(&file[46], count);
    const Loaded loaded = load(dir, file, 8, 4, 32);
    EXPECT_EQ(loaded.failure, std::nullopt) << count;
    EXPECT_EQ(loaded.palette, paletteOf(plan)) << count;
    EXPECT_EQ(loaded.levelZero, plan.indices) << count;
  }
}

TEST(LoadBitmap, FailuresLeaveTheRecordUnchanged) {
  ScratchDir dir;
  const std::string path = (dir / "in.bmp").string();
  BitmapPlan rle = makeBitmap(8, 8, 3, 16);
  rle.compression = 1;
  Bytes rleFile = encodeBitmap(rle);
  rleFile.resize(rleFile.size() - 1);
  const Bytes good = encodeBitmap(makeBitmap(8, 8, 3, 16));
  Bytes deep = good;
  encodeFixed16(&deep[28], 24);
  Bytes packed = good;
  encodeFixed32(&packed[30], 2);
  const struct {
    Bytes file;
    std::uint16_t width, height;
    Failure failure;
  } cases[] = {
      {good, 16, 16, Failure::kBitmapWidth},
      {good, 8, 16, Failure::kBitmapHeight},
      {deep, 8, 8, Failure::kBitmapCorrupt},
      {packed, 8, 8, Failure::kBitmapCorrupt},
      {Bytes(good.begin(), good.end() - 1), 8, 8, Failure::kBitmapCorrupt},
      {rleFile, 8, 8, Failure::kBitmapCorrupt},
  };
  for (const auto& c : cases) {
    const Loaded loaded = load(dir, c.file, c.width, c.height, 64);
    EXPECT_EQ(loaded.failure, failureLine(c.failure, path));
    EXPECT_EQ(loaded.palette, Bytes(kPaletteSize, 0x33));
    EXPECT_EQ(loaded.levelZero, Bytes(64, 0x5A));
  }
  writeFile(path, good);
  TextureFixture texture(8, 8);
  TextureRecord noPixels(texture.bytes.data(), nullptr);
  EXPECT_EQ(failureOf([&] { return loadBitmapIntoTexture(noPixels, path); }),
            failureLine(Failure::kBitmapCorrupt, path));
  const std::string absent = (dir / "absent.bmp").string();
  EXPECT_EQ(failureOf([&] { return loadBitmapIntoTexture(noPixels, absent); }),
            failureLine(Failure::kBitmapOpen, absent));
  EXPECT_EQ(texture.palette(), Bytes(kPaletteSize, 0x33));
}

}  // namespace
}  // namespace tintrod::testing
