// Every search variant this processor runs, and the dispatching entry point,
// against the plain scan on many palettes and images.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "mip/mip_level.h"
#include "tests/support/mip_images.h"
#include "tests/support/mip_reference.h"

namespace tintrod {
namespace {

using testing::Indices;
using testing::Palette;

struct Case {
  std::string name;
  Palette palette;
  int width;
  int height;
  Indices level;
};

// The pixel block with level 1 built from `level`, and level 2 from level 1.
Indices buildTwoLevels(const Case& c, const auto& build) {
  const std::size_t level1 = static_cast<std::size_t>((c.width >> 1) * (c.height >> 1));
  const std::size_t level2 = static_cast<std::size_t>((c.width >> 2) * (c.height >> 2));
  Indices block = c.level;
  block.resize(c.level.size() + level1 + level2, 0x5A);
  build(block.data(), c.width, c.height, c.palette.data());
  build(block.data() + c.level.size(), c.width >> 1, c.height >> 1, c.palette.data());
  return block;
}

// The position of the first differing byte, or -1; keeps failures readable.
long firstDifference(const Indices& actual, const Indices& expected) {
  if (actual.size() != expected.size()) return 0;
  const auto [a, e] = std::mismatch(actual.begin(), actual.end(), expected.begin());
  return a == actual.end() ? -1 : a - actual.begin();
}

std::vector<Case> makeCases() {
  std::mt19937 random(20240611);
  const std::pair<int, int> sizes[] = {{256, 256}, {128, 128}, {32, 32}, {5, 4},   {7, 3},
                                       {3, 7},     {9, 9},     {2, 2},   {33, 17}, {66, 10}};
  std::vector<Case> cases;
  for (const auto& [width, height] : sizes) {
    const std::size_t pixels = static_cast<std::size_t>(width * height);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    cases.push_back({"random " + size, testing::randomPalette(random), width, height,
                     testing::randomIndices(random, pixels)});
    cases.push_back({"duplicates " + size, testing::duplicatePalette(random), width, height,
                     testing::randomIndices(random, pixels)});
    cases.push_back({"lattice " + size, testing::latticePalette(random), width, height,
                     testing::randomIndices(random, pixels)});
    cases.push_back({"few colours " + size, testing::fewColourPalette(random, 5), width, height,
                     testing::randomIndices(random, pixels, 5)});
    cases.push_back({"zero tail " + size, testing::fewColourPalette(random, 16), width, height,
                     testing::randomIndices(random, pixels, 24)});
    testing::IndexedImage smooth = testing::smoothPicture(width, height);
    cases.push_back({"smooth " + size, smooth.palette, width, height, smooth.indices});
  }
  return cases;
}

TEST(MipLevelVariants, DispatchedBuildMatchesThePlainScan) {
  for (const Case& c : makeCases()) {
    EXPECT_EQ(firstDifference(buildTwoLevels(c, buildMipLevel),
                              buildTwoLevels(c, testing::buildMipLevelReference)),
              -1)
        << c.name;
  }
}

// Both levels from one call share the palette's layout and its cells.
TEST(MipLevelVariants, BothLevelsAtOnceMatchThePlainScan) {
  for (const Case& c : makeCases()) {
    const Indices expected = buildTwoLevels(c, testing::buildMipLevelReference);
    Indices block = c.level;
    block.resize(expected.size(), 0x5A);
    buildSmallerLevels(block.data(), c.width, c.height, c.palette.data());
    EXPECT_EQ(firstDifference(block, expected), -1) << c.name;
  }
}

TEST(MipLevelVariants, EverySupportedVariantMatchesThePlainScan) {
  const std::vector<Case> cases = makeCases();
  for (const mip::NearestByDifferenceVariant& variant : mip::nearestByDifferenceVariants()) {
    if (!variant.supported()) continue;
    const auto build = [&](std::uint8_t* level, std::int32_t width, std::int32_t height,
                           const std::uint8_t* palette) {
      mip::buildMipLevelWith(variant.find, level, width, height, palette);
    };
    for (const Case& c : cases) {
      EXPECT_EQ(firstDifference(buildTwoLevels(c, build),
                                buildTwoLevels(c, testing::buildMipLevelReference)),
                -1)
          << variant.name << ": " << c.name;
    }
  }
}

}  // namespace
}  // namespace tintrod
