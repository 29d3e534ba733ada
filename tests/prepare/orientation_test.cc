// Phone photos stored turned, with an EXIF orientation tag, land upright.
#include <gtest/gtest.h>

#include "prepare/prepare_picture.h"
#include "tests/picture/picture_files.h"

namespace tintrod::testing {
namespace {

constexpr int kWidth = 64;  // stored landscape, so a quarter turn shows in the size
constexpr int kHeight = 32;
constexpr Rgb kRed{255, 0, 0}, kLime{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

// Red, lime, blue, white quadrants, as stored.
Bytes storedQuadrants() {
  Bytes rgb;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const Rgb& c =
          y < kHeight / 2 ? (x < kWidth / 2 ? kRed : kLime) : (x < kWidth / 2 ? kBlue : kWhite);
      rgb.insert(rgb.end(), c.begin(), c.end());
    }
  }
  return rgb;
}

// An EXIF block holding one orientation entry, in either byte order; `cut`
// bytes short of whole.
Bytes exifBlock(int orientation, bool bigEndian, std::size_t cut = 0) {
  const auto u16 = [bigEndian](int v) {
    return bigEndian ? Bytes{std::uint8_t(v >> 8), std::uint8_t(v)}
                     : Bytes{std::uint8_t(v), std::uint8_t(v >> 8)};
  };
  const auto u32 = [&u16, bigEndian](int v) {
    Bytes low = u16(v & 0xFFFF), high = u16(v >> 16);
    Bytes out = bigEndian ? high : low;
    const Bytes& second = bigEndian ? low : high;
    out.insert(out.end(), second.begin(), second.end());
    return out;
  };
  Bytes block = {'E',
                 'x',
                 'i',
                 'f',
                 0,
                 0,
                 bigEndian ? std::uint8_t('M') : std::uint8_t('I'),
                 bigEndian ? std::uint8_t('M') : std::uint8_t('I')};
  for (const Bytes& part :
       {u16(42), u32(8), u16(1), u16(0x0112), u16(3), u32(1), u16(orientation), u16(0), u32(0)}) {
    block.insert(block.end(), part.begin(), part.end());
  }
  block.resize(block.size() - cut);
  return block;
}

// The JPEG with the block as an APP1 segment right after its start.
Bytes withExif(Bytes jpeg, const Bytes& block) {
  const std::size_t length = block.size() + 2;
  Bytes segment = {0xFF, 0xE1, std::uint8_t(length >> 8), std::uint8_t(length)};
  segment.insert(segment.end(), block.begin(), block.end());
  jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());
  return jpeg;
}

struct OrientationCase {
  const char* name;
  Bytes block;
  Rgb topLeft, topRight, bottomLeft, bottomRight;  // as a viewer shows the photo
  bool sidesSwap;
};

TEST(Orientation, EveryExifOrientationLandsAsAViewerShowsIt) {
  const OrientationCase cases[] = {
      {"1 as stored", exifBlock(1, false), kRed, kLime, kBlue, kWhite, false},
      {"2 mirrored", exifBlock(2, false), kLime, kRed, kWhite, kBlue, false},
      {"3 half a turn", exifBlock(3, false), kWhite, kBlue, kLime, kRed, false},
      {"4 flipped", exifBlock(4, false), kBlue, kWhite, kRed, kLime, false},
      {"5 transposed", exifBlock(5, false), kRed, kBlue, kLime, kWhite, true},
      {"6 turned clockwise", exifBlock(6, false), kBlue, kRed, kWhite, kLime, true},
      {"7 transversed", exifBlock(7, false), kWhite, kLime, kBlue, kRed, true},
      {"8 turned anticlockwise", exifBlock(8, false), kLime, kWhite, kRed, kBlue, true},
      {"6 in Motorola order", exifBlock(6, true), kBlue, kRed, kWhite, kLime, true},
      {"9 is no orientation", exifBlock(9, false), kRed, kLime, kBlue, kWhite, false},
      {"6 cut short", exifBlock(6, false, 7), kRed, kLime, kBlue, kWhite, false},
  };
  const Bytes stored = jpegOf(kWidth, kHeight, storedQuadrants());
  for (const OrientationCase& c : cases) {
    SCOPED_TRACE(c.name);
    const int width = c.sidesSwap ? kHeight : kWidth;
    const int height = c.sidesSwap ? kWidth : kHeight;
    // The slot is the upright size, so nothing is resampled.
    const PreparedPicture prepared =
        preparePicture(withExif(stored, c.block), width, height, {.fit = Fit::kStretch});
    ASSERT_TRUE(prepared.ok()) << prepared.status().line();
    const RgbPixels out = readBack(*prepared, width, height);
    const int left = width / 4, right = width * 3 / 4, top = height / 4, bottom = height * 3 / 4;
    for (const auto& [actual, expected] : {std::pair{out.at(left, top), c.topLeft},
                                           {out.at(right, top), c.topRight},
                                           {out.at(left, bottom), c.bottomLeft},
                                           {out.at(right, bottom), c.bottomRight}}) {
      for (int channel = 0; channel < 3; ++channel) {
        EXPECT_NEAR(actual[channel], expected[channel], 8);
      }
    }
  }
}

}  // namespace
}  // namespace tintrod::testing
