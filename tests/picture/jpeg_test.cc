// JPEG decoding through libjpeg-turbo: the scale it decodes at for each fit,
// and the files it must refuse rather than show in part.
#include <gtest/gtest.h>

#include "picture/picture_reader.h"
#include "tests/picture/picture_files.h"

namespace tintrod::testing {
namespace {

// A 12 MP photo's size and a 48 MP one's: at 1/8 the first holds too few
// pixels, the second enough.
constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kLargeWidth = 8064;
constexpr int kLargeHeight = 6048;

Bytes greyPlan(int width, int height, int progressivePasses = 0) {
  JpegPlan plan;
  plan.width = width;
  plan.height = height;
  plan.components = 1;
  plan.samples.assign(std::size_t(width) * height, 120);
  plan.progressivePasses = progressivePasses;
  return jpegOf(plan);
}

struct ScaleCase {
  const Bytes* file;
  DecodeTarget target;
  int width, height;  // decoded
};

TEST(DecodeJpeg, DecodesAtTheSmallestQuickScaleThatKeepsTheQuality) {
  const Bytes photo = greyPlan(kWidth, kHeight);
  const Bytes large = greyPlan(kLargeWidth, kLargeHeight);
  const ScaleCase cases[] = {
      {&photo, {0, 0, Fit::kStretch}, kWidth, kHeight},  // no slot: the whole picture
      {&photo, {256, 256, Fit::kCrop}, 1000, 750},       // 2/8 reduces 2.93 times
      {&photo, {344, 258, Fit::kCrop}, 1000, 750},       // 2.907 and 2.907 times
      {&photo, {345, 258, Fit::kCrop}, 2000, 1500},      // 2.899 is too little: 4/8
      {&photo, {1000, 258, Fit::kPad}, 1000, 750},       // padding: one side enough will do
      {&photo, {128, 128, Fit::kStretch}, 1000, 750},    // 1/8 reduces enough, too few pixels
      {&photo, {400, 300, Fit::kStretch}, 2000, 1500},   // never 3/8
      {&photo, {1024, 1024, Fit::kPad}, 3000, 2250},     // the whole is past the cap
      {&large, {256, 256, Fit::kCrop}, 1008, 756},       // 1/8 holds 762,048 pixels
  };
  for (const ScaleCase& c : cases) {
    const DecodedPicture decoded = decodePicture(*c.file, c.target);
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded->width, c.width) << c.target.width << "x" << c.target.height;
    EXPECT_EQ(decoded->height, c.height) << c.target.width << "x" << c.target.height;
  }
}

TEST(DecodeJpeg, RefusesEveryCutOffFile) {
  for (const Bytes& file : {committedPicture("jpeg-baseline.jpg"),
                            committedPicture("jpeg-progressive.jpg"), greyPlan(64, 48, 1)}) {
    ASSERT_TRUE(decodePicture(file).ok());
    for (std::size_t length = 0; length < file.size(); ++length) {
      EXPECT_EQ(testing::failureKind(decodePicture({file.data(), length}).status()),
                Failure::kPictureDecode)
          << length;
    }
  }
}

}  // namespace
}  // namespace tintrod::testing
