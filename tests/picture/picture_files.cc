#include "tests/picture/picture_files.h"

#include <gtest/gtest.h>

// jpeglib.h uses FILE and size_t without including their headers.
#include <cstddef>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include <cstdlib>
#include <vector>

#include "bitmap/validate_bitmap.h"
#include "template/format.h"
#include "template/texture_record.h"
#include "tool/load_bitmap.h"
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

void appendBigEndian32(Bytes& bytes, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(std::uint8_t(value >> shift));
}

std::uint32_t crc32(const Bytes& bytes, std::size_t from) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::size_t i = from; i < bytes.size(); ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

void appendChunk(Bytes& png, const char* type, const Bytes& data) {
  appendBigEndian32(png, std::uint32_t(data.size()));
  const std::size_t typeStart = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  appendBigEndian32(png, crc32(png, typeStart));
}

// Deflate's bit order: numbers least significant bit first, Huffman codes
// most significant bit first.
class DeflateBits {
 public:
  void number(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) put((value >> i) & 1);
  }
  void code(std::uint32_t value, int length) {
    for (int i = length - 1; i >= 0; --i) put((value >> i) & 1);
  }
  Bytes bytes;

 private:
  void put(std::uint32_t bit) {
    if (used_ % 8 == 0) bytes.push_back(0);
    bytes.back() = std::uint8_t(bytes.back() | (bit << (used_ % 8)));
    ++used_;
  }
  std::size_t used_ = 0;
};

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

Bytes pngWithImageData(std::uint32_t width, std::uint32_t height, std::uint8_t colorType,
                       const Bytes& imageData, std::uint8_t depth, bool interlaced) {
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  appendBigEndian32(header, width);
  appendBigEndian32(header, height);
  header.insert(header.end(), {depth, colorType, 0, 0, std::uint8_t(interlaced ? 1 : 0)});
  appendChunk(png, "IHDR", header);
  appendChunk(png, "IDAT", imageData);
  appendChunk(png, "IEND", {});
  return png;
}

std::size_t pngImageBytes(std::uint32_t width, std::uint32_t height, int pixelBytes,
                          bool interlaced) {
  struct Pass {
    std::uint32_t x, y, stepX, stepY;
  };
  constexpr Pass kAdam7[] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                             {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  const auto rowsOf = [pixelBytes](std::uint32_t columns, std::uint32_t rows) {
    return columns == 0 ? 0 : std::size_t(rows) * (1 + std::size_t(columns) * pixelBytes);
  };
  if (!interlaced) return rowsOf(width, height);
  std::size_t bytes = 0;
  for (const Pass& pass : kAdam7) {
    const std::uint32_t columns =
        width > pass.x ? (width - pass.x + pass.stepX - 1) / pass.stepX : 0;
    const std::uint32_t rows =
        height > pass.y ? (height - pass.y + pass.stepY - 1) / pass.stepY : 0;
    bytes += rowsOf(columns, rows);
  }
  return bytes;
}

Bytes zlibOfZeros(std::size_t count) {
  constexpr std::size_t kLongestMatch = 258;
  DeflateBits bits;
  bits.number(1, 1);  // the final block
  bits.number(1, 2);  // of the fixed codes
  const auto zero = [&bits] { bits.code(0x30, 8); };
  zero();
  std::size_t left = count - 1;
  for (; left >= kLongestMatch; left -= kLongestMatch) {
    bits.code(0xC5, 8);  // length 258
    bits.code(0, 5);     // distance 1
  }
  for (; left > 0; --left) zero();
  bits.code(0, 7);  // end of block
  Bytes stream = {0x78, 0x01};
  stream.insert(stream.end(), bits.bytes.begin(), bits.bytes.end());
  appendBigEndian32(stream, std::uint32_t(count % 65521) << 16 | 1);  // Adler-32 of zeros
  return stream;
}

Bytes gifOf(int width, int height, const Bytes& codes) {
  constexpr int kTableBits = 7;
  Bytes gif = {'G', 'I', 'F', '8', '9', 'a'};
  const auto size = [&gif, width, height] {
    for (int side : {width, height})
      gif.insert(gif.end(), {std::uint8_t(side), std::uint8_t(side >> 8)});
  };
  size();
  gif.insert(gif.end(), {0x80 | (kTableBits - 1), 0, 0});
  for (int i = 0; i < 1 << kTableBits; ++i) gif.insert(gif.end(), 3, std::uint8_t(i * 2));
  gif.insert(gif.end(), {0x2C, 0, 0, 0, 0});
  size();
  gif.insert(gif.end(), {0, kTableBits});
  for (std::size_t at = 0; at < codes.size(); at += 255) {
    const std::size_t length = std::min<std::size_t>(255, codes.size() - at);
    gif.push_back(std::uint8_t(length));
    gif.insert(gif.end(), codes.begin() + std::ptrdiff_t(at),
               codes.begin() + std::ptrdiff_t(at + length));
  }
  gif.insert(gif.end(), {0, 0x3B});
  return gif;
}

Bytes gifCodesOf(const Bytes& indices) {
  // The table grows by one entry a code; at 256 entries codes would widen.
  constexpr std::size_t kCodesBetweenClears = 120;
  Bytes codes;
  for (std::size_t i = 0; i < indices.size(); ++i) {
    if (i % kCodesBetweenClears == 0) codes.push_back(kGifClear);
    codes.push_back(indices[i]);
  }
  codes.push_back(kGifEnd);
  return codes;
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
    const Status valid = validateBitmap(width, height, path);
    return valid.ok() ? loadBitmapIntoTexture(texture, path) : valid;
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
