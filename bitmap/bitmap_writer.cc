#include "bitmap/bitmap_writer.h"

#include <algorithm>

#include "bitmap/bitmap_headers.h"
#include "util/coding.h"

namespace tintrod {
namespace {

constexpr int kRgbPixelSize = 3;

struct Geometry {
  std::int64_t rowLength = 0;  // in the file, padding included
  std::int64_t pixelStart = 0;
  std::int64_t fileSize = 0;
};

std::optional<Geometry> geometryOf(std::int32_t width, std::int32_t height, int pixelSize,
                                   std::int64_t colorCount, std::size_t packedSize) {
  if (width < 0 || height < 0) return std::nullopt;
  const std::int64_t packedRow = std::int64_t{width} * pixelSize;
  // Unsigned: below 2^33 rows of below 2^31 cannot wrap, and once the product
  // equals a real buffer's size nothing below can overflow either.
  if (static_cast<std::uint64_t>(packedRow) * static_cast<std::uint64_t>(height) != packedSize) {
    return std::nullopt;
  }
  Geometry geometry;
  geometry.rowLength = (packedRow + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
  geometry.pixelStart = kBitmapHeadersSize + colorCount * kColorTableEntrySize;
  geometry.fileSize = geometry.pixelStart + geometry.rowLength * height;
  if (geometry.fileSize > kMaxBitmapFileSize) return std::nullopt;
  return geometry;
}

// Both headers at the start of a file of `geometry`'s size, zeroed behind them.
std::vector<std::uint8_t> headedFile(const Geometry& geometry, std::int32_t width,
                                     std::int32_t height, std::uint16_t bitCount,
                                     std::uint32_t colorCount) {
  std::vector<std::uint8_t> file(static_cast<std::size_t>(geometry.fileSize), 0);
  BitmapFileHeader fileHeader;
  fileHeader.bfType = kBitmapSignature;
  fileHeader.bfSize = static_cast<std::uint32_t>(geometry.fileSize);
  fileHeader.bfOffBits = static_cast<std::uint32_t>(geometry.pixelStart);
  BitmapInfoHeader info;
  info.biSize = kBitmapInfoHeaderSize;
  info.biWidth = width;
  info.biHeight = height;  // positive: the bottom row comes first
  info.biPlanes = 1;
  info.biBitCount = bitCount;
  info.biCompression = kCompressionNone;
  info.biSizeImage = static_cast<std::uint32_t>(geometry.fileSize - geometry.pixelStart);
  info.biXPelsPerMeter = kPixelsPerMetre;
  info.biYPelsPerMeter = kPixelsPerMetre;
  info.biClrUsed = colorCount;
  encodeBitmapFileHeader(fileHeader, file.data());
  encodeBitmapInfoHeader(info, file.data() + kBitmapFileHeaderSize);
  return file;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> encodeIndexedBitmap(
    std::int32_t width, std::int32_t height,
    std::span<const std::uint8_t, kFullPaletteSize> palette,
    std::span<const std::uint8_t> indices) {
  // Every entry is written, used or not, so the palette comes back whole.
  return encodeCompactIndexedBitmap(width, height, palette, indices);
}

std::optional<std::vector<std::uint8_t>> encodeCompactIndexedBitmap(
    std::int32_t width, std::int32_t height, std::span<const std::uint8_t> palette,
    std::span<const std::uint8_t> indices) {
  const std::size_t entries = palette.size() / kRgbPixelSize;
  if (entries == 0 || entries > std::size_t{kMaxColorTableEntries} ||
      palette.size() % kRgbPixelSize != 0) {
    return std::nullopt;
  }
  if (std::any_of(indices.begin(), indices.end(),
                  [entries](std::uint8_t index) { return index >= entries; })) {
    return std::nullopt;
  }
  const auto colorCount = static_cast<std::uint32_t>(entries);
  const auto geometry = geometryOf(width, height, 1, colorCount, indices.size());
  if (!geometry) return std::nullopt;
  std::vector<std::uint8_t> file = headedFile(*geometry, width, height, kBitmapDepth, colorCount);
  std::uint8_t* entry = file.data() + kBitmapHeadersSize;
  for (std::size_t i = 0; i < entries; ++i, entry += kColorTableEntrySize) {
    entry[0] = palette[3 * i + 2];
    entry[1] = palette[3 * i + 1];
    entry[2] = palette[3 * i];
  }
  for (std::int64_t row = 0; row < height; ++row) {
    std::copy_n(indices.begin() + row * width, width,
                file.begin() + geometry->pixelStart + row * geometry->rowLength);
  }
  return file;
}

std::optional<std::vector<std::uint8_t>> encodeRgbBitmap(std::int32_t width, std::int32_t height,
                                                         std::span<const std::uint8_t> pixels) {
  const auto geometry = geometryOf(width, height, kRgbPixelSize, 0, pixels.size());
  if (!geometry) return std::nullopt;
  // A colour count of 0 is what a 24-bit file without a colour table stores.
  std::vector<std::uint8_t> file = headedFile(*geometry, width, height, kRgbDepth, 0);
  const std::uint8_t* source = pixels.data();
  for (std::int64_t row = 0; row < height; ++row) {
    std::uint8_t* out = file.data() + geometry->pixelStart + row * geometry->rowLength;
    for (std::int32_t x = 0; x < width; ++x, source += kRgbPixelSize, out += kRgbPixelSize) {
      out[0] = source[2];
      out[1] = source[1];
      out[2] = source[0];
    }
  }
  return file;
}

}  // namespace tintrod
