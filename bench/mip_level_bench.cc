// The mip level generator against the plain scan on one 256 x 256 level.
// Items are destination pixels, so the two rates compare directly.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "mip/mip_level.h"
#include "tests/support/mip_images.h"
#include "tests/support/mip_reference.h"

namespace tintrod {
namespace {

using testing::Indices;
using testing::Palette;

constexpr int kSize = 256;
constexpr std::size_t kPixels = kSize * kSize;

struct Scene {
  Palette palette;
  Indices block;  // level 0, then room for level 1
};

Scene withRoomBehind(Palette palette, Indices level) {
  level.resize(kPixels + kPixels / 4);
  return {palette, std::move(level)};
}

// Random colours and random indices: an average practically never equals an
// entry, so every square scans all 256 entries.
Scene noisyScene() {
  std::mt19937 random(7);
  const Palette palette = testing::randomPalette(random);
  return withRoomBehind(palette, testing::randomIndices(random, kPixels));
}

Scene smoothScene() {
  testing::IndexedImage picture = testing::smoothPicture(kSize, kSize);
  return withRoomBehind(picture.palette, std::move(picture.indices));
}

// One index everywhere: the plain scan stops at its exact match.
Scene flatScene() {
  std::mt19937 random(11);
  return withRoomBehind(testing::randomPalette(random), Indices(kPixels, 128));
}

template <typename Build>
void run(benchmark::State& state, Build build, Scene (*makeScene)()) {
  Scene scene = makeScene();
  for (auto _ : state) {
    build(scene.block.data(), kSize, kSize, scene.palette.data());
    benchmark::DoNotOptimize(scene.block.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kPixels / 4));
}

BENCHMARK_CAPTURE(run, noisy_reference, testing::buildMipLevelReference, noisyScene);
BENCHMARK_CAPTURE(run, noisy_fast, buildMipLevel, noisyScene);
BENCHMARK_CAPTURE(run, smooth_reference, testing::buildMipLevelReference, smoothScene);
BENCHMARK_CAPTURE(run, smooth_fast, buildMipLevel, smoothScene);
BENCHMARK_CAPTURE(run, flat_reference, testing::buildMipLevelReference, flatScene);
BENCHMARK_CAPTURE(run, flat_fast, buildMipLevel, flatScene);

// Each search variant this processor runs, on full scans.
const bool kVariantsRegistered = [] {
  for (const mip::NearestByDifferenceVariant& variant : mip::nearestByDifferenceVariants()) {
    if (!variant.supported()) continue;
    const auto build = [find = variant.find](std::uint8_t* level, std::int32_t width,
                                             std::int32_t height, const std::uint8_t* palette) {
      mip::buildMipLevelWith(find, level, width, height, palette);
    };
    benchmark::RegisterBenchmark(
        (std::string("run/noisy_") + variant.name).c_str(),
        [build](benchmark::State& state) { run(state, build, noisyScene); });
  }
  return true;
}();

}  // namespace
}  // namespace tintrod
