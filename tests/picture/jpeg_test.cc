// JPEG decoding through libjpeg-turbo: the scale it decodes at for each fit,
// and the files it must refuse rather than show in part.
#include <gtest/gtest.h>

#include "picture/picture_reader.h"
#include "tests/picture/picture_files.h"

namespace tintrod::testing {
namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 750;

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
  DecodeTarget target;
  int width, height;  // decoded
};

TEST(DecodeJpeg, DecodesAtTheSmallestScaleTheFitStillReducesThreeTimes) {
  const Bytes file = greyPlan(kWidth, kHeight);
  const ScaleCase cases[] = {
      {{0, 0, Fit::kStretch}, kWidth, kHeight},  // no slot: the whole picture
      {{30, 30, Fit::kCrop}, 125, 94},           // 1/8: the fit still reduces 3 times
      {{42, 30, Fit::kStretch}, 250, 188},       // 2/8: 1/8 is not 3 times as wide
      {{100, 100, Fit::kCrop}, 500, 375},        // 4/8: both sides must be 3 times over
      {{100, 100, Fit::kPad}, 375, 282},         // 3/8: the wider side must be
      {{1024, 1024, Fit::kPad}, kWidth, kHeight},
      {{2000, 100, Fit::kStretch}, kWidth, kHeight},
  };
  for (const ScaleCase& c : cases) {
    const DecodedPicture decoded = decodePicture(file, c.target);
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
