#include "bitmap/bitmap_headers.h"

#include <gtest/gtest.h>

#include "tests/support/scratch.h"
#include "util/input_file.h"

namespace tintrod::testing {
namespace {

TEST(BitmapHeaders, EncodedHeadersReadBackFieldForField) {
  const BitmapFileHeader file{0x4D42, 0x01020304, 0x0506, 0x0708, 0x090A0B0C};
  const BitmapInfoHeader info{124, -5, 7, 1, 8, 1, 99, -2835, 2835, 17, 3};
  Bytes bytes(kBitmapHeadersSize);
  encodeBitmapFileHeader(file, bytes.data());
  encodeBitmapInfoHeader(info, bytes.data() + kBitmapFileHeaderSize);
  ScratchDir dir;
  writeFile(dir / "h.bmp", bytes);
  InputFile stream;
  ASSERT_TRUE(stream.open((dir / "h.bmp").string()).ok());
  const BitmapHeaders read = readBitmapHeaders(stream);
  EXPECT_EQ(read.file.bfType, file.bfType);
  EXPECT_EQ(read.file.bfSize, file.bfSize);
  EXPECT_EQ(read.file.bfReserved1, file.bfReserved1);
  EXPECT_EQ(read.file.bfReserved2, file.bfReserved2);
  EXPECT_EQ(read.file.bfOffBits, file.bfOffBits);
  EXPECT_EQ(read.info.biSize, info.biSize);
  EXPECT_EQ(read.info.biWidth, info.biWidth);
  EXPECT_EQ(read.info.biHeight, info.biHeight);
  EXPECT_EQ(read.info.biPlanes, info.biPlanes);
  EXPECT_EQ(read.info.biBitCount, info.biBitCount);
  EXPECT_EQ(read.info.biCompression, info.biCompression);
  EXPECT_EQ(read.info.biSizeImage, info.biSizeImage);
  EXPECT_EQ(read.info.biXPelsPerMeter, info.biXPelsPerMeter);
  EXPECT_EQ(read.info.biYPelsPerMeter, info.biYPelsPerMeter);
  EXPECT_EQ(read.info.biClrUsed, info.biClrUsed);
  EXPECT_EQ(read.info.biClrImportant, info.biClrImportant);
}

}  // namespace
}  // namespace tintrod::testing
