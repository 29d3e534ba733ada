#include "util/failure.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "entry/program_entry.h"
#include "tests/support/scratch.h"
#include "util/failure_tables.h"
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

// A Result without a value whose status said success would let
// `if (!r.ok()) return r.status();` report success.
TEST(Failure, AResultIsNeverMadeFromASuccess) {
#ifdef NDEBUG
  const Result<int> made = Status();
  EXPECT_EQ(made.status().failure(), Failure::kInternal);
#else
  if (testing::kOnWindows)
    GTEST_SKIP() << "death tests start the test program again, too slowly under Wine";
  EXPECT_DEATH(static_cast<void>(Result<int>(Status())), "made from a success");
  EXPECT_DEATH(static_cast<void>(SystemResult<int>(SystemStatus())), "made from a success");
#endif
}

// The lines each program printed before the seam said why, now chosen by
// what it said; the system's code stays with the failure.
TEST(FailureTables, EachProgramGivesItsLineForWhatTheSystemSaid) {
  using enum SystemErrorKind;
  using enum Operation;
  const struct {
    FailureTable table;
    Operation operation;
    SystemErrorKind kind;
    const char* line;
  } cases[] = {
      {kSkinFailures, kReadTemplate, kNotPermitted, "can't find cue stick obp file\n"},
      {kSkinFailures, kReadBitmap, kFolder, "can't open bitmap file p\n"},
      {kSkinFailures, kWriteOutput, kNoSpace, "can't open new cue obp file\n"},
      {kSkinFailures, kEnterFolder, kMissing, "can't find cue stick obp file\n"},
      {kExtractFailures, kReadModel, kMissing, "can't find model file p\n"},
      {kExtractFailures, kReadModel, kNotPermitted, "can't read model file p: not permitted\n"},
      {kExtractFailures, kReadModel, kFolder,
       "model file p is a folder; give the cue model's .obp file\n"},
      {kExtractFailures, kReadModel, kNotRegularFile, "can't read model file p\n"},
      {kExtractFailures, kWriteFile, kNoSpace, "can't write file p\n"},
      {kExtractFailures, kMakeFolder, kOther, "can't create folder p\n"},
      {kPrepareFailures, kReadPicture, kMissing, "can't find picture p\n"},
      {kPrepareFailures, kReadPicture, kNotPermitted, "can't read picture p: not permitted\n"},
      {kPrepareFailures, kReadPicture, kFolder, "picture p is a folder; give a picture file\n"},
      {kPrepareFailures, kReadPicture, kTooLarge,
       "picture p is too large; the limit is 32 megapixels, 16384 pixels a side and 256 MiB\n"},
      {kPrepareFailures, kReadPicture, kNotRegularFile, "can't read picture p\n"},
      {kPrepareFailures, kWriteFile, kMissing, "can't write file p\n"},
      {kPrepareFailures, kMakeFolder, kNoSpace, "can't create folder p\n"},
      {kPrepareFailures, kEnterFolder, kMissing, "can't read picture p\n"},
      // An operation its program's table lacks is the program's own fault.
      {kSkinFailures, kReadPicture, kMissing, "internal error; please report it\n"},
  };
  for (const auto& test : cases) {
    const Status status = failureFor(test.table, test.operation, SystemStatus(test.kind, 5), "p");
    EXPECT_EQ(status.line(), test.line);
    ASSERT_TRUE(status.cause().has_value()) << test.line;
    EXPECT_EQ(status.cause()->code, 5) << test.line;
  }
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
  // A length past any allocation is memory too; what nothing should throw
  // still ends the pass, not the process.
  const auto tooLong = []() -> Status { throw std::length_error("vector"); };
  EXPECT_EQ(runGuarded(Failure::kOutOfMemory, tooLong).failure(), Failure::kOutOfMemory);
  const auto unexpected = []() -> Status { throw std::runtime_error("library"); };
  EXPECT_EQ(runGuarded(Failure::kOutOfMemory, unexpected).line(),
            "internal error; please report it\n");
}

}  // namespace
}  // namespace tintrod
