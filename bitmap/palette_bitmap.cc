#include "bitmap/palette_bitmap.h"

#include <algorithm>

#include "bitmap/bitmap_headers.h"
#include "bitmap/bitmap_writer.h"
#include "util/coding.h"

namespace tintrod {
namespace {

constexpr int kRowBits = 32;

bool isPaletteDepth(int bits) { return bits == 1 || bits == 4 || bits == kBitmapDepth; }

std::optional<PaletteLayout> coreLayout(std::span<const std::uint8_t> file,
                                        const BitmapFileHeader& fileHeader) {
  if (file.size() < kCoreBitCountOffset + 2) return std::nullopt;
  PaletteLayout layout;
  layout.bitsPerPixel = decodeFixed16(&file[kCoreBitCountOffset]);
  layout.entrySize = kCoreColorTableEntrySize;
  layout.colorTableStart = kBitmapFileHeaderSize + kCoreInfoHeaderSize;
  // The header has no count: the table is as long as the depth allows.
  layout.colorCount = std::int64_t{1} << std::min(layout.bitsPerPixel, kBitmapDepth);
  layout.pixelStart = fileHeader.bfOffBits;
  layout.width = decodeFixed16(&file[kCoreWidthOffset]);
  layout.height = decodeFixed16(&file[kCoreWidthOffset + 2]);
  return layout;
}

std::optional<PaletteLayout> infoLayout(const BitmapFileHeader& fileHeader,
                                        const BitmapInfoHeader& info) {
  // Older, shorter headers hold other fields at these offsets.
  if (info.biSize < kBitmapInfoHeaderSize || info.biWidth < 0) return std::nullopt;
  PaletteLayout layout;
  layout.bitsPerPixel = info.biBitCount;
  layout.entrySize = kColorTableEntrySize;
  layout.colorTableStart = std::int64_t{kBitmapFileHeaderSize} + info.biSize;
  layout.colorCount = info.biClrUsed;
  layout.pixelStart = fileHeader.bfOffBits;
  layout.width = info.biWidth;
  layout.topDown = info.biHeight < 0;
  layout.height = layout.topDown ? -std::int64_t{info.biHeight} : info.biHeight;
  layout.runLengthEncoded = info.biCompression == kCompressionRle8;
  const bool plain = info.biCompression == kCompressionNone;
  // Run-length rows are 8-bit and stored bottom-up.
  const bool runs =
      layout.runLengthEncoded && layout.bitsPerPixel == kBitmapDepth && !layout.topDown;
  if (!plain && !runs) return std::nullopt;
  return layout;
}

// The index of pixel `x` in a plain row, its most significant bits first.
std::uint8_t indexAt(const std::uint8_t* row, std::int64_t x, int bits) {
  const std::int64_t bit = x * bits;
  const int shift = kBitmapDepth - bits - int(bit % kBitmapDepth);
  return static_cast<std::uint8_t>((row[bit / kBitmapDepth] >> shift) & ((1 << bits) - 1));
}

// Rows of 1 or 4 bits, in the order the file stores them.
void unpackRows(std::span<const std::uint8_t> file, const PaletteLayout& layout,
                std::span<std::uint8_t> indices) {
  for (std::int64_t row = 0; row < layout.height; ++row) {
    const std::uint8_t* from = &file[std::size_t(layout.pixelStart + row * layout.rowLength)];
    std::uint8_t* out = &indices[std::size_t(row * layout.width)];
    for (std::int64_t x = 0; x < layout.width; ++x) out[x] = indexAt(from, x, layout.bitsPerPixel);
  }
}

// 8-bit rows go through the decoder tintrod loads its textures with.
bool decodeStoredRows(std::span<const std::uint8_t> file, const PaletteLayout& layout,
                      std::span<std::uint8_t> indices) {
  if (layout.bitsPerPixel != kBitmapDepth) {
    unpackRows(file, layout, indices);
    return true;
  }
  BitmapLayout rows;
  rows.pixelStart = layout.pixelStart;
  rows.width = layout.width;
  rows.height = layout.height;
  rows.rowLength = layout.rowLength;
  rows.runLengthEncoded = layout.runLengthEncoded;
  return decodeIndexedRows(file, rows, indices);
}

void flipRows(const PaletteLayout& layout, std::span<std::uint8_t> indices) {
  const auto width = std::ptrdiff_t(layout.width);
  for (std::int64_t y = 0; y < layout.height / 2; ++y) {
    const auto top = indices.begin() + std::ptrdiff_t(y) * width;
    const auto bottom = indices.begin() + std::ptrdiff_t(layout.height - 1 - y) * width;
    std::swap_ranges(top, top + width, bottom);
  }
}

}  // namespace

std::optional<PaletteLayout> paletteLayout(std::span<const std::uint8_t> file) {
  const BitmapHeaders headers = decodeBitmapHeaders(file);
  if (headers.file.bfType != kBitmapSignature) return std::nullopt;
  auto layout = headers.info.biSize == kCoreInfoHeaderSize ? coreLayout(file, headers.file)
                                                           : infoLayout(headers.file, headers.info);
  if (!layout || !isPaletteDepth(layout->bitsPerPixel)) return std::nullopt;
  const std::int64_t room =
      (std::min(layout->pixelStart, std::int64_t(file.size())) - layout->colorTableStart) /
      layout->entrySize;
  layout->colorCount =
      std::clamp<std::int64_t>(std::min(layout->colorCount, room), 0, kMaxColorTableEntries);
  layout->rowLength =
      (layout->width * layout->bitsPerPixel + kRowBits - 1) / kRowBits * (kRowBits / kBitmapDepth);
  return layout;
}

bool paletteLayoutFitsFile(const PaletteLayout& layout, std::int64_t fileSize) {
  if (layout.pixelStart < layout.colorTableStart || layout.pixelStart > fileSize) return false;
  return layout.runLengthEncoded ||
         layout.height * layout.rowLength <= fileSize - layout.pixelStart;
}

PaletteColours paletteColours(std::span<const std::uint8_t> file, const PaletteLayout& layout) {
  return decodeColourTable(file, layout.colorTableStart, layout.colorCount, layout.entrySize);
}

bool readPaletteIndices(std::span<const std::uint8_t> file, const PaletteLayout& layout,
                        std::span<std::uint8_t> indices) {
  if (!decodeStoredRows(file, layout, indices)) return false;
  // Bottom-up files, run-length ones among them, give the bottom row first.
  if (!layout.topDown) flipRows(layout, indices);
  return true;
}

}  // namespace tintrod
