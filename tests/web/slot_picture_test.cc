#include "web/slot_picture.h"

#include <gtest/gtest.h>

#include <string>

#include "bitmap/validate_bitmap.h"
#include "tests/support/bitmap_builder.h"
#include "tests/support/scratch.h"

namespace tintrod::web {
namespace {

using testing::Bytes;
using testing::ScratchDir;

const SkinSlot& bumper() { return kSkinSlots[8]; }  // 32 x 32

TEST(SlotPicture, APictureOfAnotherSizeBecomesABitmapTheSlotTakes) {
  ScratchDir dir;
  const std::string picture = (dir / "small.bmp").string();
  const std::string bitmap = (dir / "prepared.bmp").string();
  // An 8-bit bitmap the slot refuses for its size is a picture like any other.
  testing::writeFile(picture, testing::encodeBitmap(testing::makeBitmap(12, 20, 5, 40)));
  for (const Fit fit : {Fit::kStretch, Fit::kCrop, Fit::kPad}) {
    EXPECT_EQ(prepareSlotPicture(picture, bumper(), {fit, false}, bitmap).line(), "");
    EXPECT_EQ(testing::failureOf([&] { return validateBitmap(32, 32, bitmap); }), std::nullopt);
  }
}

TEST(SlotPicture, FailuresNameThePictureOrTheBitmap) {
  ScratchDir dir;
  const std::string text = (dir / "notes.png").string();
  testing::writeFile(text, Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'});
  const std::string good = (dir / "good.bmp").string();
  testing::writeFile(good, testing::encodeBitmap(testing::makeBitmap(8, 8, 1, 16)));
  const std::string bitmap = (dir / "out.bmp").string();
  const std::string unwritable = (dir / "no-such-folder" / "out.bmp").string();
  struct Case {
    std::string picture;
    std::string bitmap;
    std::string line;
  };
  const Case cases[] = {
      {(dir / "absent.png").string(), bitmap,
       "can't read picture " + (dir / "absent.png").string() + "\n"},
      {text, bitmap, "can't decode picture " + text + "; use a PNG, JPEG, BMP, GIF or TGA file\n"},
      {good, unwritable, "can't write file " + unwritable + "\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(prepareSlotPicture(c.picture, bumper(), {}, c.bitmap).line(), c.line);
  }
  EXPECT_TRUE(testing::listDirectory(dir.path()) ==
              (std::vector<std::string>{"good.bmp", "notes.png"}));
}

}  // namespace
}  // namespace tintrod::web
