// Writes seed inputs for every fuzz target, built the way the tests build
// their files:
//   tintrod-fuzz-seeds DIR
// DIR then holds template/, bitmap/, pixel_rows/ and run/, one file a seed.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/pixel_rows_input.h"
#include "template/skin_slots.h"
#include "tests/support/bitmap_builder.h"
#include "tests/support/scratch.h"
#include "tests/support/template_builder.h"

namespace tintrod::fuzz {
namespace {

namespace fs = std::filesystem;
using testing::buildTemplate;
using testing::Bytes;
using testing::chunk;
using testing::makeTexture;
using testing::textureTableChunk;

void writeSeeds(const fs::path& folder, const std::vector<Bytes>& seeds) {
  fs::create_directories(folder);
  for (std::size_t i = 0; i < seeds.size(); ++i) {
    testing::writeFile(folder / ("seed-" + std::to_string(i)), seeds[i]);
  }
}

std::vector<Bytes> templateSeeds() {
  const std::vector<testing::TexturePlan> two = {makeTexture("zbrubber", 8, 4, 1),
                                                 makeTexture("zbshaft", 4, 4, 2)};
  // Element size 2 with halved counts describes the same blocks.
  Bytes halved = testing::textureColumnData({makeTexture("a", 8, 4, 8), makeTexture("b", 8, 8, 9)});
  constexpr std::size_t kElementSize = 803 * 2;
  testing::putWord(halved, kElementSize, 2);
  testing::putWord(halved, kElementSize + 4, 21);
  testing::putWord(halved, kElementSize + 8 + 42, 42);
  return {
      buildTemplate({textureTableChunk(two)}),
      buildTemplate({chunk("ABCD", {}), chunk("END!", Bytes(8, 0)),
                     textureTableChunk({makeTexture("zbodd", 5, 3, 3), makeTexture("a", 4, 8, 4),
                                        makeTexture("flat", 0, 4, 5)})}),
      buildTemplate({textureTableChunk({}), chunk("TAIL", {1, 2, 3})}),
      buildTemplate({testing::tableChunk("LTXH", 2, testing::kTextureFieldSizes, halved)}),
      buildTemplate({chunk("WRAP", textureTableChunk({makeTexture("inner", 4, 4, 6)})),
                     textureTableChunk(two), textureTableChunk({makeTexture("later", 4, 4, 7)})}),
      buildTemplate({testing::tableChunk("LTXH", 2, {4, 0, 1, 30, 768, -1},
                                         testing::textureColumnData(two))}),
      buildTemplate({chunk("ABCD", {1})}, 0),
  };
}

Bytes bitmapWith(testing::BitmapPlan plan, void (*change)(testing::BitmapPlan&)) {
  change(plan);
  return testing::encodeBitmap(plan);
}

std::vector<Bytes> bitmapSeeds() {
  using testing::BitmapPlan;
  using testing::makeBitmap;
  return {
      testing::encodeBitmap(makeBitmap(32, 32, 1)),
      testing::encodeBitmap(makeBitmap(16, 8, 2, 16)),
      bitmapWith(makeBitmap(32, 32, 3), [](BitmapPlan& s) { s.compression = 1; }),
      bitmapWith(makeBitmap(8, 8, 4, 8), [](BitmapPlan& s) { s.infoHeaderSize = 124; }),
      bitmapWith(makeBitmap(8, 4, 5, 4),
                 [](BitmapPlan& s) {
                   s.infoHeaderSize = 108;
                   s.gapBeforePixels = 10;
                 }),
      bitmapWith(makeBitmap(8, 4, 6), [](BitmapPlan& s) { s.storeZeroColorCount = true; }),
      testing::encodeBitmap(makeBitmap(5, 3, 7, 6)),
      bitmapWith(makeBitmap(7, 5, 8, 3), [](BitmapPlan& s) { s.compression = 1; }),
      bitmapWith(makeBitmap(4, 4, 9, 0), [](BitmapPlan& s) { s.bitCount = 24; }),
  };
}

// The head as pixel_rows_input.h lays it out, then `stream`.
Bytes pixelRowsInput(std::uint8_t dstChoice, std::uint8_t srcChoice, std::int16_t dstStride,
                     std::int16_t srcStride, std::int16_t width, std::int16_t rows,
                     std::uint8_t flags, std::size_t streamLength) {
  Bytes input = {dstChoice, srcChoice};
  for (std::int16_t value : {dstStride, srcStride, width, rows}) {
    testing::appendFixed16(input, static_cast<std::uint16_t>(value));
  }
  input.push_back(flags);
  for (std::size_t i = 0; i < streamLength; ++i) input.push_back(static_cast<std::uint8_t>(i * 37));
  return input;
}

std::vector<Bytes> pixelRowsSeeds() {
  // Choices index kDstFormats {8, 15, 16, 32, ...} and kSrcBitCounts {8, 24, 32, ...}.
  return {
      pixelRowsInput(0, 0, 6, 8, 6, 3, 0, 24),                          // 8 into 8, tails skipped
      pixelRowsInput(0, 0, 12, 4, 4, 4, kFlipBit, 16),                  // gaps, flipped
      pixelRowsInput(2, 0, 8, 4, 4, 2, kColorTableBit, 8),              // 8 into 16
      pixelRowsInput(1, 0, 8, 4, 3, 3, kColorTableBit | kFlipBit, 12),  // 8 into 15
      pixelRowsInput(3, 1, 16, 12, 4, 2, 0, 24),                        // 24 into 32
      pixelRowsInput(2, 2, 8, 16, 4, 2, kFlipBit, 32),                  // 32 into 16
      pixelRowsInput(1, 1, 6, 12, 3, 3, 0, 30),                         // 24 into 15, short
      pixelRowsInput(4, 3, 8, 8, 2, 2, 0, 16),                          // unsupported pair
  };
}

// Flat, patterned pixels keep the seed small once compressed, yet valid.
testing::TexturePlan patternedTexture(const SkinSlot& slot, std::uint8_t seed) {
  testing::TexturePlan texture =
      makeTexture(slot.textureName, static_cast<std::uint16_t>(slot.width),
                  static_cast<std::uint16_t>(slot.height), seed);
  for (std::size_t i = 0; i < texture.pixels.size(); ++i) {
    texture.pixels[i] = static_cast<std::uint8_t>((i / 64 + seed) % 16);
  }
  return texture;
}

std::vector<Bytes> runSeeds() {
  std::vector<testing::TexturePlan> textures;
  std::uint8_t seed = 1;
  for (const SkinSlot& slot : kSkinSlots) textures.push_back(patternedTexture(slot, seed++));
  Bytes templateInput = {1};
  testing::appendBytes(templateInput,
                       buildTemplate({chunk("HEAD", Bytes(8, 1)), textureTableChunk(textures),
                                      chunk("TAIL", Bytes(8, 2))}));
  std::vector<Bytes> seeds = {templateInput};
  for (std::size_t slot = 0; slot < kSkinSlots.size(); ++slot) {
    testing::BitmapPlan plan = testing::makeBitmap(kSkinSlots[slot].width, kSkinSlots[slot].height,
                                                   static_cast<std::uint32_t>(slot), 16);
    plan.compression = slot % 2;
    Bytes input = {static_cast<std::uint8_t>(2 * slot)};
    testing::appendBytes(input, testing::encodeBitmap(plan));
    seeds.push_back(input);
  }
  return seeds;
}

}  // namespace
}  // namespace tintrod::fuzz

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage tintrod-fuzz-seeds DIR\n", stdout);
    return 1;
  }
  namespace fz = tintrod::fuzz;
  const std::filesystem::path folder = argv[1];
  try {
    fz::writeSeeds(folder / "template", fz::templateSeeds());
    fz::writeSeeds(folder / "bitmap", fz::bitmapSeeds());
    fz::writeSeeds(folder / "pixel_rows", fz::pixelRowsSeeds());
    fz::writeSeeds(folder / "run", fz::runSeeds());
  } catch (const std::exception& problem) {
    std::printf("%s\n", problem.what());
    return 1;
  }
  return 0;
}
