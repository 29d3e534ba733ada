#include "util/failure.h"

#include <gtest/gtest.h>

#include <new>

#include "entry/program_entry.h"
#include "util/status.h"

namespace tintrod {
namespace {

TEST(Failure, LinesCarryThePathAsTyped) {
  EXPECT_EQ(failureLine(Failure::kBitmapOpen, "a b/c%s.bmp"),
            "can't open bitmap file a b/c%s.bmp\n");
  EXPECT_EQ(failureLine(Failure::kBitmapCorrupt, "x.bmp"), "bitmap file x.bmp is corrupt\n");
  EXPECT_EQ(failureLine(Failure::kTemplateCorrupt), "cue stick file is corrupt\n");
  EXPECT_EQ(failureLine(Failure::kModelMissing, "../m.obp"), "can't find model file ../m.obp\n");
  EXPECT_EQ(failureLine(Failure::kFileWrite, "out/a.bmp"), "can't write file out/a.bmp\n");
  // Built from kMaxPictureMemory; the process tests pin the other built lines.
  EXPECT_EQ(failureLine(Failure::kJpegTooLarge, "a.jpg"),
            "picture a.jpg is too large; a JPEG may hold at most 256 MiB while it is prepared\n");
  EXPECT_EQ(Status(Failure::kBitmapOpen, "x.bmp").line(), "can't open bitmap file x.bmp\n");
  EXPECT_EQ(Status().line(), "");
}

TEST(Failure, ResultHoldsTheValueOrTheFailure) {
  const Result<int> value = 7;
  ASSERT_TRUE(value.ok());
  EXPECT_EQ(*value, 7);
  const Result<int> failed = Status(Failure::kTextureMissing);
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.status().line(), "Can't find texture in template\n");
}

// Memory that runs out deep inside a pass unwinds to the entry and becomes
// the program's line, never an abort; the pass's own failures pass through.
TEST(Failure, EntryTurnsMemoryExhaustionIntoTheProgramsLine) {
  const auto exhausted = []() -> Status { throw std::bad_alloc(); };
  EXPECT_EQ(runGuarded(Failure::kTemplateCorrupt, exhausted).line(), "cue stick file is corrupt\n");
  EXPECT_EQ(runGuarded(Failure::kOutOfMemory, exhausted).line(),
            "not enough memory; close other programs and try again\n");
  EXPECT_EQ(runGuarded(Failure::kOutOfMemory, [] { return Status(Failure::kUsage); }).failure(),
            Failure::kUsage);
  EXPECT_TRUE(runGuarded(Failure::kOutOfMemory, [] { return Status(); }).ok());
}

}  // namespace
}  // namespace tintrod
