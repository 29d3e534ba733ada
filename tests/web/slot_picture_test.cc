#include "web/slot_picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>

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
    const Result<PictureSize> size = prepareSlotPicture(picture, bumper(), {fit, false}, bitmap);
    ASSERT_TRUE(size.ok()) << size.status().line();
    EXPECT_EQ(std::make_pair(size->width, size->height),
              std::make_pair(std::int64_t{12}, std::int64_t{20}));
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
  // The lines tintrod-prepare prints for the same pictures.
  const Case cases[] = {
      {(dir / "absent.png").string(), bitmap,
       "can't find picture " + (dir / "absent.png").string() + "\n"},
      {dir.path().string(), bitmap,
       "picture " + dir.path().string() + " is a folder; give a picture file\n"},
      {text, bitmap,
       "can't decode picture " + text + "; use a PNG, JPEG, HEIC, WebP, BMP, GIF or TGA file\n"},
      {good, unwritable, "can't write file " + unwritable + "\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(
        prepareSlotPicture(c.picture, bumper(), {Fit::kStretch, false}, c.bitmap).status().line(),
        c.line);
  }
  // A picture the browser could not hand over: the line for a file the
  // system would not give, by the error the browser named.
  const std::pair<const char*, std::string> refusals[] = {
      {"NotFoundError", "can't find picture p.png\n"},
      {"RangeError",
       "picture p.png is too large; the limit is 32 megapixels, 16384 pixels a side and 256 MiB\n"},
      {"NotReadableError", "can't read picture p.png\n"},
  };
  for (const auto& [error, line] : refusals) {
    EXPECT_EQ(browserRefusal("p.png", error).line(), line) << error;
  }
  // Only a file in none of the core's formats is left to the browser to decode;
  // a damaged one is refused on the page as on the command line.
  const std::string cut = (dir / "cut.bmp").string();
  testing::writeFile(cut, Bytes{'B', 'M', 0, 0});
  EXPECT_FALSE(inPictureFormat(text));
  EXPECT_TRUE(inPictureFormat(cut));
  std::filesystem::remove(cut);
  EXPECT_TRUE(testing::listDirectory(dir.path()) ==
              (std::vector<std::string>{"good.bmp", "notes.png"}));
}

TEST(SlotPicture, APictureEnlargedMoreThanTwiceLooksBlocky) {
  const SkinSlot& shaft = kSkinSlots[7];  // 256 x 256
  // picture's width, height; blocky on the shaft
  const std::tuple<std::int64_t, std::int64_t, bool> cases[] = {
      {16, 16, true},    {127, 4000, true},   {4000, 127, true},
      {128, 128, false}, {4000, 3000, false}, {0, 0, false},
  };
  for (const auto& [width, height, blocky] : cases) {
    EXPECT_EQ(looksBlocky({width, height}, shaft), blocky) << width << " x " << height;
  }
}

}  // namespace
}  // namespace tintrod::web
