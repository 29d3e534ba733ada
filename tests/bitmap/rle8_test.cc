#include "bitmap/rle8.h"

#include <gtest/gtest.h>

#include <optional>

#include "tests/support/bitmap_builder.h"
#include "tests/support/scratch.h"
#include "util/input_file.h"

namespace tintrod::testing {
namespace {

// The picture a stream decodes to, or nothing when it is refused; checking
// alone must reach the same verdict.
std::optional<Bytes> decoded(const Bytes& stream, std::int32_t width, std::int32_t height) {
  Bytes picture(static_cast<std::size_t>(width * height), 0x77);
  Rle8Input checkInput(stream);
  const bool checked = decodeRle8(checkInput, width, height, nullptr);
  Rle8Input input(stream);
  const bool ok = decodeRle8(input, width, height, picture.data());
  EXPECT_EQ(checked, ok);
  if (!ok) return std::nullopt;
  return picture;
}

TEST(Rle8, DecodesEveryCode) {
  struct Case {
    Bytes stream;
    Bytes picture;  // 4 x 2, first row first
  };
  const Case cases[] = {
      {{4, 1, 0, 0, 2, 2, 2, 3, 0, 1}, {1, 1, 1, 1, 2, 2, 3, 3}},
      {{0, 3, 7, 8, 9, 0, 0, 0, 0, 4, 1, 2, 3, 4, 0, 1}, {7, 8, 9, 0, 1, 2, 3, 4}},
      {{0, 2, 1, 1, 2, 9, 0, 1}, {0, 0, 0, 0, 0, 9, 9, 0}},
      {{4, 3, 0, 1}, {3, 3, 3, 3, 0, 0, 0, 0}},                    // ends without a row end
      {{1, 5, 0, 0, 0, 0, 0, 0, 0, 1}, {5, 0, 0, 0, 0, 0, 0, 0}},  // row ends past the last
      {{0, 2, 200, 200, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 0}},          // a delta far off the picture
      {{0, 1, 5, 5}, {0, 0, 0, 0, 0, 0, 0, 0}},                    // nothing is read past the end
  };
  for (const auto& c : cases) EXPECT_EQ(decoded(c.stream, 4, 2), c.picture);
}

TEST(Rle8, RefusesRunsOutsideThePictureAndStreamsCutShort) {
  const Bytes refused[] = {
      {},
      {4, 1},  // no end-of-bitmap
      {4, 1, 0},
      {0, 2, 1},                             // delta cut short
      {0, 3, 1, 2, 3},                       // literal without its padding
      {0, 4, 1, 2},                          // literal cut short
      {5, 1, 0, 1},                          // run past the row's end
      {0, 5, 1, 2, 3, 4, 5, 0, 0, 1},        // literal past the row's end
      {2, 1, 3, 1, 0, 1},                    // a second run past the row's end
      {0, 0, 0, 0, 1, 1, 0, 1},              // run past the last row
      {0, 2, 0, 2, 0, 3, 1, 2, 3, 0, 0, 1},  // literal past the last row
  };
  for (const auto& stream : refused) EXPECT_EQ(decoded(stream, 4, 2), std::nullopt);
  EXPECT_EQ(decoded({1, 1, 0, 1}, 0, 2), std::nullopt);
  EXPECT_EQ(decoded({0, 1}, 0, 0), Bytes{});
}

TEST(Rle8, EncoderRoundTripsThroughAFile) {
  ScratchDir dir;
  for (int colors : {2, 16, 256}) {
    const BitmapPlan plan = makeBitmap(128, 96, static_cast<std::uint32_t>(colors), colors);
    const Bytes stream = encodeRle8(plan.width, plan.height, plan.indices);
    // Several buffer refills of the file reader.
    writeFile(dir / "stream", stream);
    InputFile file;
    ASSERT_TRUE(file.open((dir / "stream").string()).ok());
    Rle8Input input(file);
    Bytes picture(plan.indices.size());
    EXPECT_TRUE(decodeRle8(input, plan.width, plan.height, picture.data()));
    EXPECT_EQ(picture, plan.indices);
  }
}

}  // namespace
}  // namespace tintrod::testing
