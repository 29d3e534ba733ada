#include "sample/sample_files.h"

#include <cmath>
#include <string>

#include "builders/bitmap_builder.h"
#include "builders/template_builder.h"
#include "mip/mip_level.h"
#include "template/format.h"
#include "template/skin_slots.h"

namespace tintrod::sample {
namespace {

using builders::Bytes;

struct Rgb {
  double red, green, blue;
};

// Four key colours per slot; the 256-entry palette runs smoothly through them.
constexpr Rgb kSlotColours[9][4] = {
    {{20, 20, 24}, {180, 150, 60}, {240, 220, 140}, {90, 60, 20}},         // brass connector
    {{250, 250, 245}, {30, 90, 200}, {10, 20, 60}, {200, 30, 40}},         // inlay 1
    {{250, 250, 245}, {20, 150, 80}, {5, 40, 20}, {230, 190, 40}},         // inlay 2
    {{250, 250, 245}, {150, 40, 160}, {30, 5, 40}, {240, 120, 30}},        // inlay 3
    {{15, 15, 15}, {60, 60, 70}, {120, 120, 130}, {200, 200, 210}},        // linen wrap
    {{40, 15, 5}, {120, 55, 20}, {190, 120, 60}, {70, 30, 10}},            // wooden butt
    {{230, 230, 220}, {250, 250, 250}, {200, 200, 190}, {160, 160, 150}},  // ferrule
    {{160, 120, 70}, {220, 190, 140}, {240, 215, 170}, {190, 150, 100}},   // maple shaft
    {{5, 5, 5}, {30, 30, 30}, {60, 60, 60}, {20, 20, 20}},                 // rubber bumper
};

std::vector<std::array<std::uint8_t, 3>> rampPalette(const Rgb (&keys)[4]) {
  std::vector<std::array<std::uint8_t, 3>> palette(256);
  for (int i = 0; i < 256; ++i) {
    const double position = i / 255.0 * 3.0;
    const int segment = position >= 3.0 ? 2 : static_cast<int>(position);
    const double t = position - segment;
    const Rgb& from = keys[segment];
    const Rgb& to = keys[segment + 1];
    palette[i] = {static_cast<std::uint8_t>(from.red + (to.red - from.red) * t),
                  static_cast<std::uint8_t>(from.green + (to.green - from.green) * t),
                  static_cast<std::uint8_t>(from.blue + (to.blue - from.blue) * t)};
  }
  return palette;
}

// A different pattern per slot: rings, waves, stripes, grain.
std::uint8_t patternIndex(int slot, int x, int y, int size) {
  const double u = static_cast<double>(x) / size;
  const double v = static_cast<double>(y) / size;
  double value = 0;
  switch (slot % 4) {
    case 0:
      value = 0.5 + 0.5 * std::sin(40 * std::hypot(u - 0.5, v - 0.5));
      break;
    case 1:
      value = 0.5 + 0.25 * std::sin(12 * u + 3 * std::sin(9 * v)) + 0.25 * std::cos(7 * v);
      break;
    case 2:
      value = std::fmod(8 * (u + v) + 0.3 * std::sin(30 * v), 1.0);
      break;
    default:
      value = 0.5 + 0.5 * std::sin(60 * u + 4 * std::sin(5 * v) + 2 * std::sin(31 * v));
      break;
  }
  value = value < 0 ? 0 : (value > 1 ? 1 : value);
  return static_cast<std::uint8_t>(value * 255);
}

// Pattern indices of a width x height picture, first file row first.
Bytes patternIndices(int style, int width, int height) {
  Bytes indices(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      indices[static_cast<std::size_t>(y) * width + x] = patternIndex(style, x, y, width);
    }
  }
  return indices;
}

// A template texture painted with another slot's colours and pattern, its
// smaller levels built the way tintrod builds them.
builders::TexturePlan paintedTexture(const std::string& name, std::uint16_t width,
                                     std::uint16_t height, int look) {
  builders::TexturePlan texture;
  texture.name = name;
  texture.width = width;
  texture.height = height;
  const auto colours = rampPalette(kSlotColours[look % 9]);
  for (std::size_t i = 0; i < colours.size(); ++i) {
    std::copy(colours[i].begin(), colours[i].end(), texture.palette.begin() + 3 * i);
  }
  texture.pixels = patternIndices(look + 1, width, height);
  texture.pixels.resize(static_cast<std::size_t>(pixelBlockLength(width, height)));
  buildSmallerLevels(texture.pixels.data(), width, height, texture.palette.data());
  return texture;
}

}  // namespace

Bytes slotBitmap(int slot) {
  const SkinSlot& skin = kSkinSlots[slot];
  builders::BitmapPlan plan;
  plan.width = skin.width;
  plan.height = skin.height;
  plan.colors = rampPalette(kSlotColours[slot]);
  plan.indices = patternIndices(slot, skin.width, skin.height);
  return builders::encodeBitmap(plan);
}

Bytes sampleTemplate() {
  std::vector<builders::TexturePlan> textures;
  int look = 3;
  // Textures no slot names, of other sizes, interleaved with the slot ones.
  textures.push_back(paintedTexture("zbtip", 64, 64, look++));
  for (const SkinSlot& slot : kSkinSlots) {
    textures.push_back(paintedTexture(slot.textureName, static_cast<std::uint16_t>(slot.width),
                                      static_cast<std::uint16_t>(slot.height), look++));
  }
  textures.push_back(paintedTexture("zbjoint_ring", 16, 16, look++));
  textures.push_back(paintedTexture("zbdecal", 64, 32, look++));
  textures.push_back(paintedTexture("zbshadow", 20, 12, look++));

  const Bytes objectInfo = {'c', 'u', 'e', 0, 1, 0, 0, 0};
  Bytes geometry(600);
  for (std::size_t i = 0; i < geometry.size(); ++i) geometry[i] = static_cast<std::uint8_t>(i * 7);
  const std::vector<builders::TexturePlan> lodTextures = {paintedTexture("zbshaft", 32, 32, 7)};
  return builders::buildTemplate({
      builders::chunk("OBJH", objectInfo),
      builders::chunk("MATL", Bytes(48, 0x11)),
      builders::chunk("END!", {}),
      builders::textureTableChunk(textures),
      builders::chunk("GEOM", geometry),
      builders::textureTableChunk(lodTextures),  // a later table tintrod carries unchanged
      builders::chunk("END!", {}),
  });
}

}  // namespace tintrod::sample
