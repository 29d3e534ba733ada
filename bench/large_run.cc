#include "bench/large_run.h"

#include <random>
#include <vector>

#include "template/skin_slots.h"
#include "tests/support/bitmap_builder.h"
#include "tests/support/mip_images.h"
#include "tests/support/scratch.h"
#include "tests/support/template_builder.h"

namespace tintrod::bench {
namespace {

using testing::Bytes;
using testing::TexturePlan;

struct OtherSize {
  int count;
  std::uint16_t width;
  std::uint16_t height;
};

// Thirty textures no slot names; with the slot ones they make about 4 MiB.
constexpr OtherSize kOtherSizes[] = {{6, 512, 512}, {8, 256, 256}, {4, 512, 256}, {4, 128, 128},
                                     {4, 64, 64},   {2, 256, 64},  {2, 32, 16}};

std::vector<TexturePlan> largeTable() {
  std::vector<TexturePlan> others;
  std::uint32_t seed = 100;
  for (const OtherSize& size : kOtherSizes) {
    for (int i = 0; i < size.count; ++i) {
      const std::string name = "zbextra" + std::to_string(others.size());
      others.push_back(testing::makeTexture(name, size.width, size.height, seed++));
    }
  }
  // Slot textures spread among the others, so that the patched blocks lie
  // apart in the file as they would in a real model.
  std::vector<TexturePlan> textures;
  std::size_t next = 0;
  for (const SkinSlot& slot : kSkinSlots) {
    for (int i = 0; i < 3 && next < others.size(); ++i) textures.push_back(others[next++]);
    textures.push_back(testing::makeTexture(slot.textureName,
                                            static_cast<std::uint16_t>(slot.width),
                                            static_cast<std::uint16_t>(slot.height), seed++));
  }
  while (next < others.size()) textures.push_back(others[next++]);
  return textures;
}

Bytes largeTemplate() {
  Bytes geometry(64 * 1024);
  for (std::size_t i = 0; i < geometry.size(); ++i) geometry[i] = static_cast<std::uint8_t>(i * 7);
  return testing::buildTemplate(
      {testing::chunk("OBJH", Bytes(8, 1)), testing::chunk("GEOM", geometry),
       testing::textureTableChunk(largeTable()), testing::chunk("END!", {})});
}

testing::BitmapPlan noiseBitmap(std::int32_t width, std::int32_t height, std::uint32_t seed) {
  std::mt19937 random(seed);
  const testing::Palette palette = testing::randomPalette(random);
  testing::BitmapPlan plan;
  plan.width = width;
  plan.height = height;
  for (std::size_t j = 0; j < palette.size(); j += 3) {
    plan.colors.push_back({palette[j], palette[j + 1], palette[j + 2]});
  }
  plan.indices = testing::randomIndices(random, static_cast<std::size_t>(width) * height);
  return plan;
}

}  // namespace

std::int64_t writeLargeRun(const std::filesystem::path& folder, Pictures pictures) {
  const Bytes model = largeTemplate();
  testing::writeFile(folder / "cueTemplate.obp", model);
  for (std::size_t slot = 0; slot < kSkinSlots.size(); ++slot) {
    const SkinSlot& skin = kSkinSlots[slot];
    const auto seed = static_cast<std::uint32_t>(slot + 1);
    const testing::BitmapPlan bitmap = pictures == Pictures::kNoise
                                           ? noiseBitmap(skin.width, skin.height, seed)
                                           : testing::makeBitmap(skin.width, skin.height, seed);
    testing::writeFile(folder / kLargeRunBitmaps[slot], testing::encodeBitmap(bitmap));
  }
  return static_cast<std::int64_t>(model.size());
}

}  // namespace tintrod::bench
