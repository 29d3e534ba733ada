// Pictures of few colours keep them; others get a palette of used, distinct
// entries and every pixel its nearest one.
#include "quantize/quantize.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace tintrod {
namespace {

using Colour = std::array<int, 3>;

struct Picture {
  std::string name;
  int width;
  int height;
  std::vector<std::uint8_t> rgb;
};

Colour pixelAt(const std::vector<std::uint8_t>& rgb, std::size_t index) {
  return {rgb[3 * index], rgb[3 * index + 1], rgb[3 * index + 2]};
}

int squaredDistance(const Colour& a, const Colour& b) {
  int sum = 0;
  for (int c = 0; c < 3; ++c) sum += (a[c] - b[c]) * (a[c] - b[c]);
  return sum;
}

// `colours` distinct colours, spread over the picture in a shuffled order.
Picture withColours(int colours, int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> rgb;
  for (int p = 0; p < width * height; ++p) {
    const int colour = p % colours * 65521 % 16777216;
    rgb.insert(rgb.end(),
               {static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
                static_cast<std::uint8_t>(colour)});
  }
  for (int p = width * height - 1; p > 0; --p) {
    const int q = std::uniform_int_distribution<int>(0, p)(random);
    for (int c = 0; c < 3; ++c) std::swap(rgb[3 * p + c], rgb[3 * q + c]);
  }
  return {std::to_string(colours) + " colours", width, height, rgb};
}

Picture noise(int width, int height, int range, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> channel(0, range - 1);
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(3 * width * height));
  for (std::uint8_t& value : rgb) value = static_cast<std::uint8_t>(channel(random));
  return {"noise " + std::to_string(width) + "x" + std::to_string(height), width, height, rgb};
}

Picture gradient(int width, int height) {
  std::vector<std::uint8_t> rgb;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      rgb.insert(rgb.end(), {static_cast<std::uint8_t>(x * 255 / (width - 1)),
                             static_cast<std::uint8_t>(y * 255 / (height - 1)),
                             static_cast<std::uint8_t>((x + y) * 127 / (width + height))});
    }
  }
  return {"gradient", width, height, rgb};
}

// Two smooth halves, every pixel a colour of its own: more colours than the
// rounds take one by one.
Picture twoGradients() {
  constexpr int kWidth = 512;
  constexpr int kHeight = 130;
  std::vector<std::uint8_t> rgb;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      rgb.insert(rgb.end(), {static_cast<std::uint8_t>(x % 256), static_cast<std::uint8_t>(y),
                             static_cast<std::uint8_t>(x / 256 * 128 + y / 2)});
    }
  }
  return {"two gradients", kWidth, kHeight, rgb};
}

void expectWellFormed(const Picture& picture, const QuantizedPicture& result) {
  const std::size_t entries = result.palette.size() / 3;
  ASSERT_EQ(result.palette.size() % 3, 0U);
  ASSERT_LE(entries, 256U);
  ASSERT_EQ(result.indices.size(), picture.rgb.size() / 3);
  std::vector<bool> used(entries);
  for (const std::uint8_t index : result.indices) {
    ASSERT_LT(index, entries);
    used[index] = true;
  }
  EXPECT_EQ(std::count(used.begin(), used.end(), false), 0) << "unused palette entries";
  std::set<Colour> distinct;
  for (std::size_t j = 0; j < entries; ++j) distinct.insert(pixelAt(result.palette, j));
  EXPECT_EQ(distinct.size(), entries) << "repeated palette entries";
}

TEST(Quantize, FewColoursAreKeptExactly) {
  const Picture pictures[] = {withColours(1, 1, 1, 1),     withColours(1, 5, 3, 2),
                              withColours(2, 1, 9, 3),     withColours(200, 20, 20, 4),
                              withColours(256, 16, 16, 5), withColours(256, 40, 33, 6)};
  for (const Picture& picture : pictures) {
    for (const bool dither : {false, true}) {
      SCOPED_TRACE(picture.name + (dither ? ", dithered" : ""));
      const QuantizedPicture result =
          quantizePicture(picture.rgb, picture.width, picture.height, {.dither = dither});
      expectWellFormed(picture, result);
      std::set<Colour> colours;
      for (std::size_t p = 0; p < result.indices.size(); ++p) {
        colours.insert(pixelAt(picture.rgb, p));
        EXPECT_EQ(pixelAt(result.palette, result.indices[p]), pixelAt(picture.rgb, p));
      }
      EXPECT_EQ(result.palette.size() / 3, colours.size());
    }
  }
}

TEST(Quantize, EveryPixelGetsItsNearestEntry) {
  const Picture pictures[] = {withColours(257, 17, 17, 7),
                              withColours(600, 30, 20, 8),
                              noise(1, 300, 256, 9),
                              noise(300, 1, 256, 10),
                              noise(37, 23, 256, 11),
                              noise(32, 32, 9, 12),
                              gradient(40, 30),
                              twoGradients()};
  for (const Picture& picture : pictures) {
    SCOPED_TRACE(picture.name);
    const QuantizedPicture result = quantizePicture(picture.rgb, picture.width, picture.height);
    expectWellFormed(picture, result);
    // A sample of a large picture's pixels keeps the scan of every entry quick.
    const std::size_t step = result.indices.size() / 4096 + 1;
    for (std::size_t p = 0; p < result.indices.size(); p += step) {
      const Colour colour = pixelAt(picture.rgb, p);
      int nearest = INT32_MAX;
      for (std::size_t j = 0; j < result.palette.size() / 3; ++j) {
        nearest = std::min(nearest, squaredDistance(colour, pixelAt(result.palette, j)));
      }
      ASSERT_EQ(squaredDistance(colour, pixelAt(result.palette, result.indices[p])), nearest)
          << "pixel " << p;
    }
  }
}

TEST(Quantize, SmoothGradientLosesLittle) {
  // 65536 colours; a palette that ignored the error would land far below this.
  const Picture picture = gradient(256, 256);
  const QuantizedPicture result = quantizePicture(picture.rgb, picture.width, picture.height);
  double error = 0;
  for (std::size_t p = 0; p < result.indices.size(); ++p) {
    error += squaredDistance(pixelAt(picture.rgb, p), pixelAt(result.palette, result.indices[p]));
  }
  const double psnr = 10 * std::log10(255.0 * 255.0 * 3 * result.indices.size() / error);
  EXPECT_GT(psnr, 35.0);
}

TEST(Quantize, DitheringIsWellFormedAndRepeatable) {
  const Picture pictures[] = {gradient(40, 30), noise(1, 300, 256, 14), noise(300, 1, 256, 15)};
  // Too few colours per entry for diffusion to change anything but here.
  const std::string spread = "gradient";
  for (const Picture& picture : pictures) {
    SCOPED_TRACE(picture.name);
    const QuantizedPicture plain = quantizePicture(picture.rgb, picture.width, picture.height);
    const QuantizedPicture first =
        quantizePicture(picture.rgb, picture.width, picture.height, {.dither = true});
    const QuantizedPicture second =
        quantizePicture(picture.rgb, picture.width, picture.height, {.dither = true});
    expectWellFormed(picture, first);
    EXPECT_EQ(first.palette, second.palette);
    EXPECT_EQ(first.indices, second.indices);
    EXPECT_EQ(plain.indices, quantizePicture(picture.rgb, picture.width, picture.height).indices);
    if (picture.name == spread) {
      EXPECT_NE(plain.indices, first.indices);
    }
  }
}

TEST(Quantize, EmptyOrMismatchedPicturesGiveNothing) {
  const std::vector<std::uint8_t> rgb(12, 0x80);
  const std::array<std::array<int, 2>, 5> sizes{{{0, 4}, {4, 0}, {-1, -4}, {3, 1}, {5, 1}}};
  for (const auto& [width, height] : sizes) {
    const QuantizedPicture result = quantizePicture(rgb, width, height);
    EXPECT_TRUE(result.palette.empty() && result.indices.empty()) << width << "x" << height;
  }
}

}  // namespace
}  // namespace tintrod
