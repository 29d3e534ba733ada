#include "tests/prepare/picture_files.h"

#include <gtest/gtest.h>

// jpeglib.h uses FILE and size_t without including their headers.
#include <cstddef>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include <cstdlib>
#include <vector>

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
constexpr int kJpegQuality = 95;
constexpr int kLastCoefficient = 63;

// Scans of one coefficient each: the DC, then each AC coefficient, at first
// without its lowest bit and then refining it when there are two passes.
std::vector<jpeg_scan_info> oneCoefficientScans(int passes) {
  std::vector<jpeg_scan_info> scans;
  scans.push_back({1, {0}, 0, 0, 0, 0});
  const int lowBit = passes > 1 ? 1 : 0;
  for (int pass = 0; pass < passes; ++pass) {
    for (int k = 1; k <= kLastCoefficient; ++k) {
      scans.push_back({1, {0}, k, k, pass == 0 ? 0 : lowBit, pass == 0 ? lowBit : 0});
    }
  }
  return scans;
}

[[noreturn]] void encoderFailed(j_common_ptr) {
  ADD_FAILURE() << "libjpeg could not write the test picture";
  std::abort();
}

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

Bytes jpegOf(const JpegPlan& plan) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  errors.error_exit = encoderFailed;
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long length = 0;
  jpeg_mem_dest(&info, &buffer, &length);
  info.image_width = JDIMENSION(plan.width);
  info.image_height = JDIMENSION(plan.height);
  info.input_components = plan.components;
  info.in_color_space = plan.components == 1   ? JCS_GRAYSCALE
                        : plan.components == 3 ? JCS_RGB
                                               : JCS_CMYK;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, kJpegQuality, TRUE);
  if (plan.ycck) jpeg_set_colorspace(&info, JCS_YCCK);
  for (int c = 0; c < info.num_components; ++c) {
    info.comp_info[c].h_samp_factor = 1;
    info.comp_info[c].v_samp_factor = 1;
  }
  const std::vector<jpeg_scan_info> scans = oneCoefficientScans(plan.progressivePasses);
  if (plan.progressivePasses > 0) {
    info.scan_info = scans.data();
    info.num_scans = int(scans.size());
  }
  jpeg_start_compress(&info, TRUE);
  const std::size_t rowLength = std::size_t(plan.width) * plan.components;
  while (info.next_scanline < info.image_height) {
    auto* row = const_cast<JSAMPLE*>(plan.samples.data() + info.next_scanline * rowLength);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  Bytes file(buffer, buffer + length);
  jpeg_destroy_compress(&info);
  std::free(buffer);
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
