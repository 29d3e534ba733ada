#include "tests/support/mip_images.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tintrod::testing {
namespace {

using Colour = std::array<int, 3>;

constexpr int kEntries = 256;

std::uint8_t randomByte(std::mt19937& random) {
  return static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(random));
}

void setEntry(Palette& palette, int index, const Colour& colour) {
  for (int c = 0; c < 3; ++c) palette[3 * index + c] = static_cast<std::uint8_t>(colour[c]);
}

Colour pictureColour(int x, int y) {
  const double wave = std::sin(x * 0.045 + std::cos(y * 0.031) * 2.0);
  const double ripple = std::sin((x + 2 * y) * 0.11) * std::cos((x - y) * 0.07);
  const auto channel = [](double value) {
    return std::clamp(static_cast<int>(std::lround(value)), 0, 255);
  };
  return {channel(128 + 90 * wave + 20 * ripple), channel(64 + 0.5 * y + 30 * ripple),
          channel(200 - 0.4 * x + 40 * wave * ripple)};
}

using ColourIt = std::vector<Colour>::iterator;

// A run of pixels that one palette entry will stand for.
struct Box {
  ColourIt begin;
  ColourIt end;
  int channel = 0;  // the one whose values spread the most
  int range = 0;
};

Box makeBox(ColourIt begin, ColourIt end) {
  Box box{begin, end};
  box.range = -1;
  for (int c = 0; c < 3; ++c) {
    const auto [low, high] = std::minmax_element(
        begin, end, [c](const Colour& a, const Colour& b) { return a[c] < b[c]; });
    if ((*high)[c] - (*low)[c] > box.range) {
      box.range = (*high)[c] - (*low)[c];
      box.channel = c;
    }
  }
  return box;
}

Colour meanOf(const Box& box) {
  Colour sum{0, 0, 0};
  for (auto it = box.begin; it != box.end; ++it) {
    for (int c = 0; c < 3; ++c) sum[c] += (*it)[c];
  }
  const int count = static_cast<int>(box.end - box.begin);
  return {sum[0] / count, sum[1] / count, sum[2] / count};
}

std::vector<Colour> medianCut(std::vector<Colour> colours) {
  std::vector<Box> boxes{makeBox(colours.begin(), colours.end())};
  while (boxes.size() < kEntries) {
    const auto widest = std::max_element(
        boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.range < b.range; });
    if (widest->range <= 0) break;
    const Box box = *widest;
    std::sort(box.begin, box.end,
              [c = box.channel](const Colour& a, const Colour& b) { return a[c] < b[c]; });
    const ColourIt middle = box.begin + (box.end - box.begin) / 2;
    *widest = makeBox(box.begin, middle);
    boxes.push_back(makeBox(middle, box.end));
  }
  std::vector<Colour> means;
  for (const Box& box : boxes) means.push_back(meanOf(box));
  return means;
}

std::uint8_t nearestOf(const Palette& palette, const Colour& colour) {
  int best = 0;
  int bestDistance = 1 << 30;
  for (int j = 0; j < kEntries; ++j) {
    int distance = 0;
    for (int c = 0; c < 3; ++c) distance += std::abs(colour[c] - palette[3 * j + c]);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = j;
    }
  }
  return static_cast<std::uint8_t>(best);
}

}  // namespace

Palette randomPalette(std::mt19937& random) { return fewColourPalette(random, kEntries); }

Palette fewColourPalette(std::mt19937& random, int colourCount) {
  Palette palette{};
  std::generate_n(palette.begin(), 3 * colourCount, [&] { return randomByte(random); });
  return palette;
}

Palette duplicatePalette(std::mt19937& random) {
  const Palette pool = fewColourPalette(random, 6);
  std::uniform_int_distribution<int> pick(0, 5);
  Palette palette{};
  for (int j = 0; j < kEntries; ++j) {
    const int source = pick(random);
    setEntry(palette, j, {pool[3 * source], pool[3 * source + 1], pool[3 * source + 2]});
  }
  return palette;
}

Palette latticePalette(std::mt19937& random) {
  std::uniform_int_distribution<int> step(0, 4);
  Palette palette{};
  std::generate(palette.begin(), palette.end(),
                [&] { return static_cast<std::uint8_t>(std::min(255, 64 * step(random))); });
  return palette;
}

Indices randomIndices(std::mt19937& random, std::size_t count, int colourCount) {
  std::uniform_int_distribution<int> pick(0, colourCount - 1);
  Indices indices(count);
  std::generate(indices.begin(), indices.end(),
                [&] { return static_cast<std::uint8_t>(pick(random)); });
  return indices;
}

IndexedImage smoothPicture(int width, int height) {
  std::vector<Colour> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels.push_back(pictureColour(x, y));
  }
  IndexedImage image;
  const std::vector<Colour> entries = medianCut(pixels);
  for (std::size_t j = 0; j < entries.size(); ++j) {
    setEntry(image.palette, static_cast<int>(j), entries[j]);
  }
  for (const Colour& pixel : pixels) image.indices.push_back(nearestOf(image.palette, pixel));
  return image;
}

}  // namespace tintrod::testing
