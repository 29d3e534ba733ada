// --fit on odd sizes, and pictures of the slot's size kept exactly.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "prepare/prepare_picture.h"
#include "tests/picture/picture_files.h"

namespace tintrod::testing {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};

// White, with `band` pixels of red along the left and right edges (or the
// top and bottom when `acrossRows`).
RgbPixels whiteWithRedEdges(int width, int height, int band, bool acrossRows) {
  RgbPixels pixels{width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int position = acrossRows ? y : x;
      const int length = acrossRows ? height : width;
      const bool edge = position < band || position >= length - band;
      const Rgb& colour = edge ? kRed : kWhite;
      pixels.rgb.insert(pixels.rgb.end(), colour.begin(), colour.end());
    }
  }
  return pixels;
}

RgbPixels prepared(const RgbPixels& picture, int width, int height, Fit fit) {
  const PreparedPicture result = preparePicture(pngOf(picture), width, height, {fit, false});
  EXPECT_TRUE(result.ok()) << result.status().line();
  return readBack(*result, width, height);
}

bool isWhite(const Rgb& colour) { return colour[0] > 250 && colour[1] > 250 && colour[2] > 250; }
bool isBlack(const Rgb& colour) { return colour == Rgb{0, 0, 0}; }
bool isReddish(const Rgb& colour) { return colour[0] > 128 && colour[1] < 128; }

struct FitCase {
  int pictureWidth, pictureHeight;
  int slotWidth, slotHeight;
  bool barsAcrossRows;  // pad: bars above and below; crop: the picture's top and bottom are cut
};

void PrintTo(const FitCase& c, std::ostream* out) {
  *out << c.pictureWidth << "x" << c.pictureHeight << " into " << c.slotWidth << "x"
       << c.slotHeight;
}

const FitCase kFitCases[] = {
    {300, 170, 256, 256, true}, {33, 17, 32, 32, true},  {1024, 1024, 33, 17, false},
    {300, 170, 128, 128, true}, {17, 33, 32, 32, false}, {33, 17, 256, 256, true},
};

class FitMode : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitMode, PadKeepsThePictureWholeInsideBlackBars) {
  const FitCase& c = GetParam();
  const RgbPixels out = prepared(whiteWithRedEdges(c.pictureWidth, c.pictureHeight, 0, false),
                                 c.slotWidth, c.slotHeight, Fit::kPad);
  const int midX = c.slotWidth / 2;
  const int midY = c.slotHeight / 2;
  EXPECT_TRUE(isWhite(out.at(midX, midY)));
  const Rgb first = c.barsAcrossRows ? out.at(midX, 0) : out.at(0, midY);
  const Rgb last =
      c.barsAcrossRows ? out.at(midX, c.slotHeight - 1) : out.at(c.slotWidth - 1, midY);
  const Rgb along = c.barsAcrossRows ? out.at(0, midY) : out.at(midX, 0);
  EXPECT_TRUE(isBlack(first));
  EXPECT_TRUE(isBlack(last));
  EXPECT_TRUE(isWhite(along));  // the other side is filled to the edge
}

TEST_P(FitMode, CropCoversTheSlotAndCutsTheEdges) {
  const FitCase& c = GetParam();
  // Bands a sixth of the long side lie outside the centre cut, with room to
  // spare for the filter's reach.
  const int longSide = c.barsAcrossRows ? c.pictureWidth : c.pictureHeight;
  const RgbPixels out =
      prepared(whiteWithRedEdges(c.pictureWidth, c.pictureHeight, longSide / 6, !c.barsAcrossRows),
               c.slotWidth, c.slotHeight, Fit::kCrop);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      ASSERT_FALSE(isReddish(out.at(x, y))) << x << "," << y;
      ASSERT_FALSE(isBlack(out.at(x, y))) << x << "," << y;
    }
  }
}

TEST_P(FitMode, StretchFillsTheSlotWithTheWholePicture) {
  const FitCase& c = GetParam();
  const int band = std::max(1, std::min(c.pictureWidth, c.pictureHeight) / 4);
  const RgbPixels out =
      prepared(whiteWithRedEdges(c.pictureWidth, c.pictureHeight, band, c.barsAcrossRows),
               c.slotWidth, c.slotHeight, Fit::kStretch);
  const int midX = c.slotWidth / 2;
  const int midY = c.slotHeight / 2;
  EXPECT_TRUE(isWhite(out.at(midX, midY)));
  EXPECT_TRUE(isReddish(c.barsAcrossRows ? out.at(midX, 0) : out.at(0, midY)));
  EXPECT_TRUE(
      isReddish(c.barsAcrossRows ? out.at(midX, c.slotHeight - 1) : out.at(c.slotWidth - 1, midY)));
}

INSTANTIATE_TEST_SUITE_P(OddSizes, FitMode, ::testing::ValuesIn(kFitCases));

// Up to 256 colours at the slot's size: every pixel comes back as it was in
// every fit, and the table lists exactly the colours used.
struct ExactCase {
  int width, height, colours;
};

class ExactPicture : public ::testing::TestWithParam<ExactCase> {};

TEST_P(ExactPicture, KeepsEveryColourAndListsOnlyThoseUsed) {
  const ExactCase& c = GetParam();
  std::mt19937 random(c.width * 1000 + c.colours);
  std::vector<Rgb> palette;
  std::set<Rgb> distinct;
  while (int(palette.size()) < c.colours) {
    const Rgb colour{std::uint8_t(random()), std::uint8_t(random()), std::uint8_t(random())};
    if (distinct.insert(colour).second) palette.push_back(colour);
  }
  RgbPixels picture{c.width, c.height, {}};
  for (int i = 0; i < c.width * c.height; ++i) {
    // Every colour at least once, then at random.
    const Rgb& colour = palette[i < c.colours ? i : random() % c.colours];
    picture.rgb.insert(picture.rgb.end(), colour.begin(), colour.end());
  }
  for (const Fit fit : {Fit::kStretch, Fit::kCrop, Fit::kPad}) {
    const PreparedPicture result = preparePicture(pngOf(picture), c.width, c.height, {fit, false});
    ASSERT_TRUE(result.ok()) << result.status().line();
    EXPECT_EQ(colorsUsed(*result), std::uint32_t(c.colours));
    EXPECT_EQ(readBack(*result, c.width, c.height).rgb, picture.rgb);
  }
}

INSTANTIATE_TEST_SUITE_P(SlotSized, ExactPicture,
                         ::testing::Values(ExactCase{1, 1, 1}, ExactCase{33, 17, 7},
                                           ExactCase{256, 256, 256}, ExactCase{300, 170, 200}));

}  // namespace
}  // namespace tintrod::testing
