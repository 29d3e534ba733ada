// Every picture format tintrod-prepare promises lands upright, unmirrored and
// with its channels in order, read back through tintrod's own bitmap loader.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "prepare/prepare_picture.h"
#include "tests/prepare/picture_files.h"
#include "tests/support/bitmap_builder.h"
#include "util/coding.h"

namespace tintrod::testing {
namespace {

constexpr int kWidth = 16;
constexpr int kHeight = 8;

struct Corners {
  Rgb topLeft, topRight, bottomLeft, bottomRight;
};

constexpr Rgb kRed{255, 0, 0}, kLime{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255},
    kBlack{0, 0, 0};
constexpr Corners kColour{kRed, kLime, kBlue, kWhite};
constexpr Corners kMono{kBlack, kWhite, kWhite, kBlack};
constexpr Corners kGrey{kBlack, {85, 85, 85}, {170, 170, 170}, kWhite};
constexpr Corners kHalfLime{kRed, {0, 128, 0}, kBlue, kWhite};

// The same file stored top-down: rows reversed, the height negated.
Bytes topDown(Bytes file) {
  const std::uint32_t pixelStart = decodeFixed32(&file[10]);
  const std::int32_t width = decodeSigned32(&file[18]);
  const std::int32_t height = decodeSigned32(&file[22]);
  const std::uint16_t bits = decodeFixed16(&file[28]);
  const std::size_t rowLength = (std::size_t(width) * bits + 31) / 32 * 4;
  for (std::int32_t row = 0; row < height / 2; ++row) {
    std::swap_ranges(file.begin() + pixelStart + row * rowLength,
                     file.begin() + pixelStart + (row + 1) * rowLength,
                     file.begin() + pixelStart + (height - 1 - row) * rowLength);
  }
  encodeSigned32(&file[22], -height);
  return file;
}

// tintrod's own kind of file: 8 bits, a four-entry table, bottom-up.
Bytes eightBitBmp() {
  BitmapPlan plan;
  plan.width = kWidth;
  plan.height = kHeight;
  plan.colors = {kRed, kLime, kBlue, kWhite};
  for (int row = kHeight - 1; row >= 0; --row) {
    for (int x = 0; x < kWidth; ++x) {
      plan.indices.push_back(std::uint8_t((row >= kHeight / 2 ? 2 : 0) + (x >= kWidth / 2)));
    }
  }
  return encodeBitmap(plan);
}

// The colour quadrants as raw pixels; with alpha, the bottom right one is
// fully transparent and lands black.
Bytes quadrantPixels(int channels) {
  Bytes pixels;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const Rgb& colour =
          y < kHeight / 2 ? (x < kWidth / 2 ? kRed : kLime) : (x < kWidth / 2 ? kBlue : kWhite);
      pixels.insert(pixels.end(), colour.begin(), colour.end());
      if (channels == 4) pixels.push_back(y >= kHeight / 2 && x >= kWidth / 2 ? 0 : 255);
    }
  }
  return pixels;
}

// CMYK as Adobe stores it (ink inverted, so the colour's own bytes), with
// half the black in the top right quadrant.
Bytes cmykJpeg(bool ycck) {
  JpegPlan plan;
  plan.width = kWidth;
  plan.height = kHeight;
  plan.components = 4;
  plan.ycck = ycck;
  const Bytes rgb = quadrantPixels(3);
  for (std::size_t i = 0; i < rgb.size(); i += 3) {
    plan.samples.insert(plan.samples.end(), rgb.begin() + std::ptrdiff_t(i),
                        rgb.begin() + std::ptrdiff_t(i + 3));
    const bool topRight = i / 3 % kWidth >= kWidth / 2 && i / 3 / kWidth < kHeight / 2;
    plan.samples.push_back(topRight ? 128 : 255);
  }
  return jpegOf(plan);
}

struct Format {
  const char* name;
  std::function<Bytes()> file;
  Corners corners;
  int tolerance;  // lossy formats come back near, not exact
  PrepareOptions options = {};
};

std::function<Bytes()> committed(const char* name) {
  return [name] { return committedPicture(name); };
}

void PrintTo(const Format& format, std::ostream* out) { *out << format.name; }

const Format kFormats[] = {
    {"png_rgb", committed("colour.png"), kColour, 0},
    {"png_grey", committed("png-grey.png"), kGrey, 0},
    {"png_grey_1bit", committed("mono.png"), kMono, 0},
    {"png_palette", committed("png-palette.png"), kColour, 0},
    {"png_16bit", committed("png-16.png"), kColour, 0},
    {"png_rgba_over_black", committed("png-rgba.png"), kHalfLime, 1},
    {"png_rgb_written_here", [] { return pngOf(kWidth, kHeight, 3, quadrantPixels(3)); }, kColour,
     0},
    {"png_rgba_written_here", [] { return pngOf(kWidth, kHeight, 4, quadrantPixels(4)); },
     Corners{kRed, kLime, kBlue, kBlack}, 0},
    {"png_rgba_over_a_background", [] { return pngOf(kWidth, kHeight, 4, quadrantPixels(4)); },
     Corners{kRed, kLime, kBlue, Rgb{16, 32, 250}}, 0, PrepareOptions{.background = {16, 32, 250}}},
    {"jpeg_baseline", committed("jpeg-baseline.jpg"), kColour, 8},
    {"jpeg_progressive", committed("jpeg-progressive.jpg"), kColour, 8},
    {"jpeg_grey", committed("jpeg-grey.jpg"), kGrey, 8},
    {"jpeg_cmyk", [] { return cmykJpeg(false); }, kHalfLime, 8},
    {"jpeg_ycck", [] { return cmykJpeg(true); }, kHalfLime, 8},
    {"bmp_1bit", committed("bmp-1.bmp"), kMono, 0},
    {"bmp_1bit_top_down", [] { return topDown(committedPicture("bmp-1.bmp")); }, kMono, 0},
    {"bmp_4bit", committed("bmp-4.bmp"), kColour, 0},
    {"bmp_4bit_top_down", [] { return topDown(committedPicture("bmp-4.bmp")); }, kColour, 0},
    {"bmp_8bit", eightBitBmp, kColour, 0},
    {"bmp_8bit_top_down", [] { return topDown(eightBitBmp()); }, kColour, 0},
    {"bmp_24bit", committed("bmp-24.bmp"), kColour, 0},
    {"bmp_24bit_top_down", [] { return topDown(committedPicture("bmp-24.bmp")); }, kColour, 0},
    {"bmp_32bit", committed("bmp-32.bmp"), kColour, 0},
    {"bmp_32bit_top_down", [] { return topDown(committedPicture("bmp-32.bmp")); }, kColour, 0},
    {"gif", committed("gif.gif"), kColour, 0},
    {"tga", [] { return tgaOf(kWidth, kHeight, quadrantPixels(3), false); }, kColour, 0},
    {"tga_run_length", [] { return tgaOf(kWidth, kHeight, quadrantPixels(3), true); }, kColour, 0},
};

class PictureFormat : public ::testing::TestWithParam<Format> {};

void expectNear(const Rgb& actual, const Rgb& expected, int tolerance, const char* corner) {
  for (int c = 0; c < 3; ++c) {
    EXPECT_NEAR(actual[c], expected[c], tolerance) << corner << " channel " << c;
  }
}

TEST_P(PictureFormat, LandsUprightUnmirroredInChannelOrder) {
  const PreparedPicture prepared =
      preparePicture(GetParam().file(), kWidth, kHeight, GetParam().options);
  ASSERT_EQ(prepared.failure, std::nullopt);
  const RgbPixels pixels = readBack(prepared.bitmap, kWidth, kHeight);
  const Corners& expected = GetParam().corners;
  const int tolerance = GetParam().tolerance;
  expectNear(pixels.at(0, 0), expected.topLeft, tolerance, "top left");
  expectNear(pixels.at(kWidth - 1, 0), expected.topRight, tolerance, "top right");
  expectNear(pixels.at(0, kHeight - 1), expected.bottomLeft, tolerance, "bottom left");
  expectNear(pixels.at(kWidth - 1, kHeight - 1), expected.bottomRight, tolerance, "bottom right");
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureFormat, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tintrod::testing
