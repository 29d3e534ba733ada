#include "bench/large_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <random>
#include <vector>

#include "template/skin_slots.h"
#include "tests/support/bitmap_builder.h"
#include "tests/support/mip_images.h"
#include "tests/support/scratch.h"
#include "tests/support/template_builder.h"

extern char** environ;

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

namespace {

double millisecondsOf(const timeval& time) {
  return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_usec) / 1e3;
}

}  // namespace

std::optional<ProcessCost> runQuietly(const std::vector<std::string>& arguments,
                                      const std::filesystem::path& folder) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return std::nullopt;
  int status = 0;
  rusage usage{};
  while (wait4(child, &status, 0, &usage) < 0) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  ProcessCost cost;
  cost.wallMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  cost.cpuMs = millisecondsOf(usage.ru_utime) + millisecondsOf(usage.ru_stime);
  return cost;
}

}  // namespace tintrod::bench
