#include "tests/prepare/picture_files.h"

#include <gtest/gtest.h>

#include "bitmap/load_bitmap.h"
#include "bitmap/validate_bitmap.h"
#include "template/format.h"
#include "template/texture_record.h"
#include "util/coding.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>

namespace tintrod::testing {
namespace {

constexpr int kColorsUsedOffset = 46;

void appendTo(void* context, void* data, int size) {
  auto* bytes = static_cast<Bytes*>(context);
  const auto* begin = static_cast<const std::uint8_t*>(data);
  bytes->insert(bytes->end(), begin, begin + size);
}

}  // namespace

Rgb RgbPixels::at(int x, int y) const {
  const std::size_t offset = (std::size_t(y) * width + x) * 3;
  return {rgb[offset], rgb[offset + 1], rgb[offset + 2]};
}

Bytes pngOf(int width, int height, int channels, const Bytes& pixels) {
  Bytes file;
  stbi_write_png_to_func(appendTo, &file, width, height, channels, pixels.data(), width * channels);
  return file;
}

Bytes pngOf(const RgbPixels& pixels) { return pngOf(pixels.width, pixels.height, 3, pixels.rgb); }

Bytes jpegOf(int width, int height, const Bytes& rgb) {
  Bytes file;
  stbi_write_jpg_to_func(appendTo, &file, width, height, 3, rgb.data(), 100);
  return file;
}

Bytes tgaOf(int width, int height, const Bytes& rgb, bool runLength) {
  Bytes file;
  stbi_write_tga_with_rle = runLength ? 1 : 0;
  stbi_write_tga_to_func(appendTo, &file, width, height, 3, rgb.data());
  return file;
}

Bytes committedPicture(const std::string& name) {
  return readFile(std::filesystem::path(TINTROD_PICTURES_DIR) / name);
}

RgbPixels readBack(const Bytes& bitmap, int width, int height) {
  ScratchDir dir;
  const std::string path = (dir / "prepared.bmp").string();
  writeFile(path, bitmap);
  Bytes record(kTextureRecordSize, 0);
  encodeFixed16(&record[kRecordWidthOffset], std::uint16_t(width));
  encodeFixed16(&record[kRecordHeightOffset], std::uint16_t(height));
  Bytes block(std::size_t(pixelBlockLength(std::uint16_t(width), std::uint16_t(height))), 0);
  TextureRecord texture(record.data(), block.data());
  const auto failure = failureOf([&] {
    validateBitmap(width, height, path);
    loadBitmapIntoTexture(texture, path);
  });
  EXPECT_EQ(failure, std::nullopt);

  RgbPixels upright{width, height, Bytes(std::size_t(width) * height * 3)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      // Rows arrive in file order, the bottom one first.
      const std::uint8_t index = block[std::size_t(height - 1 - y) * width + x];
      const std::uint8_t* colour = texture.palette() + 3 * index;
      std::copy(colour, colour + 3, upright.rgb.begin() + (std::size_t(y) * width + x) * 3);
    }
  }
  return upright;
}

std::uint32_t colorsUsed(const Bytes& bitmap) {
  return bitmap.size() < kColorsUsedOffset + 4 ? 0 : decodeFixed32(&bitmap[kColorsUsedOffset]);
}

}  // namespace tintrod::testing
