#include "bitmap/bitmap_writer.h"

#include <gtest/gtest.h>

#include "bitmap/validate_bitmap.h"
#include "tests/support/scratch.h"
#include "tests/tool/texture_fixture.h"
#include "tool/load_bitmap.h"

namespace tintrod::testing {
namespace {

std::array<std::uint8_t, kPaletteSize> rampPalette() {
  std::array<std::uint8_t, kPaletteSize> palette{};
  for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<std::uint8_t>(i * 7);
  return palette;
}

Bytes counting(std::size_t count) {
  Bytes bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i + 1);
  return bytes;
}

TEST(BitmapWriter, IndexedRowsArePaddedBehindAWholeColourTable) {
  const auto file = encodeIndexedBitmap(5, 2, rampPalette(), counting(10));
  ASSERT_TRUE(file);
  const Bytes& bytes = *file;
  ASSERT_EQ(bytes.size(), 54u + 1024 + 2 * 8);
  EXPECT_EQ(decodeFixed32(&bytes[2]), bytes.size());  // bfSize
  EXPECT_EQ(decodeFixed32(&bytes[10]), 1078u);        // bfOffBits
  EXPECT_EQ(decodeFixed32(&bytes[14]), 40u);          // biSize
  EXPECT_EQ(decodeFixed16(&bytes[28]), 8);            // biBitCount
  EXPECT_EQ(decodeFixed32(&bytes[34]), 16u);          // biSizeImage
  EXPECT_EQ(decodeFixed32(&bytes[46]), 256u);         // biClrUsed
  EXPECT_EQ(Bytes(&bytes[54 + 4 * 255], &bytes[54 + 1024]), (Bytes{0xF9, 0xF2, 0xEB, 0}));
  EXPECT_EQ(Bytes(&bytes[1078], &bytes[1094]),
            (Bytes{1, 2, 3, 4, 5, 0, 0, 0, 6, 7, 8, 9, 10, 0, 0, 0}));
}

TEST(BitmapWriter, TintrodTakesIndexedFilesBackUnchanged) {
  ScratchDir dir;
  const auto palette = rampPalette();
  struct Size {
    std::int32_t width, height;
  };
  for (const Size& size : {Size{32, 32}, Size{5, 3}, Size{1, 1}, Size{6, 8}}) {
    const auto [width, height] = size;
    SCOPED_TRACE(width);
    const Bytes indices = counting(static_cast<std::size_t>(width * height));
    const std::string path = (dir / "level.bmp").string();
    writeFile(path, *encodeIndexedBitmap(width, height, palette, indices));
    TextureFixture texture(static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height));
    TextureRecord record = texture.record();
    EXPECT_EQ(failureOf([&] {
                const Status valid = validateBitmap(size.width, size.height, path);
                return valid.ok() ? loadBitmapIntoTexture(record, path) : valid;
              }),
              std::nullopt);
    EXPECT_EQ(texture.palette(), Bytes(palette.begin(), palette.end()));
    EXPECT_EQ(texture.levelZero(indices.size()), indices);
  }
}

TEST(BitmapWriter, RgbPixelsAreStoredBlueFirst) {
  const auto file = encodeRgbBitmap(3, 1, Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9});
  ASSERT_TRUE(file);
  ASSERT_EQ(file->size(), 54u + 12);
  EXPECT_EQ(decodeFixed32(&(*file)[10]), 54u);
  EXPECT_EQ(decodeFixed16(&(*file)[28]), 24);
  EXPECT_EQ(decodeFixed32(&(*file)[46]), 0u);
  EXPECT_EQ(Bytes(file->begin() + 54, file->end()), (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0}));
}

TEST(BitmapWriter, RefusesPixelsThatDoNotMatchTheSize) {
  const auto palette = rampPalette();
  EXPECT_FALSE(encodeIndexedBitmap(-1, 2, palette, {}));
  EXPECT_FALSE(encodeIndexedBitmap(4, 2, palette, counting(7)));
  EXPECT_FALSE(encodeIndexedBitmap(4, 2, palette, counting(9)));
  EXPECT_FALSE(encodeRgbBitmap(2, 2, counting(11)));
  EXPECT_FALSE(encodeRgbBitmap(2, -2, {}));
  EXPECT_TRUE(encodeIndexedBitmap(0, 0, palette, {}));
}

}  // namespace
}  // namespace tintrod::testing
