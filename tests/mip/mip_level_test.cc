#include "mip/mip_level.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <vector>

#include "tests/support/mip_images.h"

namespace tintrod {
namespace {

using testing::Indices;
using testing::Palette;
using Colour = std::array<int, 3>;

constexpr std::uint8_t kUntouched = 0xA5;
constexpr std::size_t kGuard = 16;

Palette paletteOf(std::initializer_list<Colour> colours, Colour rest = {0, 0, 0}) {
  Palette palette{};
  for (int j = 0; j < 256; ++j) {
    const Colour& colour = j < static_cast<int>(colours.size()) ? colours.begin()[j] : rest;
    for (int c = 0; c < 3; ++c) palette[3 * j + c] = static_cast<std::uint8_t>(colour[c]);
  }
  return palette;
}

void setEntry(Palette& palette, int index, Colour colour) {
  for (int c = 0; c < 3; ++c) palette[3 * index + c] = static_cast<std::uint8_t>(colour[c]);
}

// Builds the level behind `source` inside a block fenced by guard bytes and
// returns it; nothing but the new level may change.
Indices halve(const Indices& source, int width, int height, const Palette& palette) {
  const std::size_t size = static_cast<std::size_t>(std::max(width >> 1, 0)) *
                           static_cast<std::size_t>(std::max(height >> 1, 0));
  std::vector<std::uint8_t> block(kGuard + source.size() + size + kGuard, kUntouched);
  std::copy(source.begin(), source.end(), block.begin() + kGuard);
  buildMipLevel(block.data() + kGuard, width, height, palette.data());

  const auto level = block.begin() + static_cast<std::ptrdiff_t>(kGuard + source.size());
  EXPECT_TRUE(std::all_of(block.begin(), block.begin() + kGuard,
                          [](std::uint8_t b) { return b == kUntouched; }));
  EXPECT_TRUE(std::equal(source.begin(), source.end(), block.begin() + kGuard));
  EXPECT_TRUE(std::all_of(level + static_cast<std::ptrdiff_t>(size), block.end(),
                          [](std::uint8_t b) { return b == kUntouched; }));
  return Indices(level, level + static_cast<std::ptrdiff_t>(size));
}

// The one entry a 2 x 2 square of these indices turns into.
std::uint8_t squareOf(std::initializer_list<std::uint8_t> indices, const Palette& palette) {
  return halve(Indices(indices), 2, 2, palette).at(0);
}

Palette distinctPalette() {
  Palette palette{};
  for (int j = 0; j < 256; ++j) setEntry(palette, j, {j, 255 - j, j / 2});
  return palette;
}

TEST(MipLevel, UniformSquareKeepsItsIndexOrItsFirstTwin) {
  const Palette distinct = distinctPalette();
  Palette twins = distinct;
  setEntry(twins, 200, {30, 225, 15});  // the colour of entry 30
  const Palette fourColours = paletteOf({{9, 9, 9}, {1, 2, 3}, {200, 0, 0}, {0, 0, 1}});
  EXPECT_EQ(squareOf({0, 0, 0, 0}, distinct), 0);
  EXPECT_EQ(squareOf({77, 77, 77, 77}, distinct), 77);
  EXPECT_EQ(squareOf({255, 255, 255, 255}, distinct), 255);
  EXPECT_EQ(squareOf({200, 200, 200, 200}, twins), 30);
  EXPECT_EQ(squareOf({30, 30, 30, 30}, twins), 30);
  EXPECT_EQ(squareOf({100, 100, 100, 100}, fourColours), 4);
}

TEST(MipLevel, AverageTruncates) {
  const Palette dark = paletteOf({{1, 1, 1}, {3, 3, 3}});
  const Palette light = paletteOf({{255, 255, 255}, {254, 254, 254}});
  EXPECT_EQ(squareOf({2, 2, 2, 1}, dark), 2);   // (0, 0, 0), not (1, 1, 1)
  EXPECT_EQ(squareOf({0, 0, 0, 1}, light), 1);  // 1019 >> 2 is 254
  EXPECT_EQ(squareOf({0, 0, 0, 0}, light), 0);
}

TEST(MipLevel, TieGoesToTheLowerIndex) {
  // Pairs within one vector lane, across lanes and across chunks.
  const std::pair<int, int> pairs[] = {{4, 9},   {0, 255}, {7, 15},    {3, 19}, {8, 24},
                                       {31, 32}, {15, 16}, {128, 250}, {1, 2}};
  for (const auto& [low, high] : pairs) {
    Palette palette = paletteOf({}, {200, 200, 200});
    setEntry(palette, low, {10, 0, 0});
    setEntry(palette, high, {0, 10, 0});
    const auto l = static_cast<std::uint8_t>(low);
    const auto h = static_cast<std::uint8_t>(high);
    EXPECT_EQ(squareOf({l, h, l, h}, palette), low) << low << " " << high;
    EXPECT_EQ(squareOf({h, h, l, l}, palette), low) << low << " " << high;
  }
}

TEST(MipLevel, DarkAverageFindsTheFirstZeroEntry) {
  // 16 colours, none black; their unused entries compete as black.
  Palette palette = paletteOf({{255, 0, 0}, {0, 255, 0}, {0, 0, 255}});
  for (int j = 3; j < 16; ++j) setEntry(palette, j, {255, 255, 240 + j});
  // The average (127, 63, 63) lies 253 from black and 254 from entry 0.
  EXPECT_EQ(squareOf({0, 1, 2, 0}, palette), 16);
}

TEST(MipLevel, OddWidthReadsRowsWidthApart) {
  const Palette palette = distinctPalette();
  const Indices source = {10, 10, 20, 20, 99,  //
                          10, 10, 20, 20, 99,  //
                          30, 30, 40, 40, 99,  //
                          30, 30, 40, 40, 99};
  EXPECT_EQ(halve(source, 5, 4, palette), (Indices{10, 20, 30, 40}));
}

TEST(MipLevel, TooNarrowOrTooShortWritesNothing) {
  const Palette palette = distinctPalette();
  const std::pair<int, int> sizes[] = {{1, 4}, {4, 1}, {1, 1}, {0, 6}, {7, 0}, {3, 1}, {1, 3}};
  for (const auto& [width, height] : sizes) {
    const Indices source(static_cast<std::size_t>(width * height), 7);
    EXPECT_TRUE(halve(source, width, height, palette).empty()) << width << "x" << height;
  }
}

TEST(MipLevel, SecondLevelIsBuiltFromTheFirst) {
  const Palette palette = paletteOf({{0, 0, 0}, {255, 255, 255}, {60, 60, 60}});
  Indices block = {0, 1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1};
  block.resize(16 + 4 + 1, kUntouched);
  buildMipLevel(block.data(), 4, 4, palette.data());
  buildMipLevel(block.data() + 16, 2, 2, palette.data());
  EXPECT_EQ(Indices(block.begin() + 16, block.begin() + 20), (Indices{2, 1, 2, 1}));
  EXPECT_EQ(block[20], 2);  // all 16 pixels averaged would have given entry 1
}

}  // namespace
}  // namespace tintrod
