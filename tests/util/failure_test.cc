#include "util/failure.h"

#include <gtest/gtest.h>

#include "tests/support/scratch.h"

namespace tintrod {
namespace {

TEST(Failure, LinesCarryThePathAsTyped) {
  EXPECT_EQ(failureLine(Failure::kBitmapOpen, "a b/c%s.bmp"),
            "can't open bitmap file a b/c%s.bmp\n");
  EXPECT_EQ(failureLine(Failure::kBitmapCorrupt, "x.bmp"), "bitmap file x.bmp is corrupt\n");
  EXPECT_EQ(failureLine(Failure::kTemplateCorrupt), "cue stick file is corrupt\n");
  EXPECT_EQ(failureLine(Failure::kModelMissing, "../m.obp"), "can't find model file ../m.obp\n");
  EXPECT_EQ(failureLine(Failure::kFileWrite, "out/a.bmp"), "can't write file out/a.bmp\n");
}

TEST(Failure, CatcherObservesFailureInProcess) {
  const auto line = testing::failureOf([] { fail(Failure::kTextureMissing); });
  ASSERT_TRUE(line.has_value());
  EXPECT_EQ(*line, "Can't find texture in template\n");
  EXPECT_FALSE(testing::failureOf([] {}).has_value());
}

}  // namespace
}  // namespace tintrod
