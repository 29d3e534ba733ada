#include "bitmap/indexed_bitmap.h"

#include <algorithm>

#include "bitmap/bitmap_headers.h"
#include "bitmap/rle8.h"

namespace tintrod {
namespace {

void copyPlainRows(std::span<const std::uint8_t> file, const BitmapLayout& layout,
                   std::span<std::uint8_t> indices) {
  const auto width = static_cast<std::size_t>(layout.width);
  for (std::int64_t row = 0; row < layout.height; ++row) {
    const auto from = file.begin() + std::ptrdiff_t(layout.pixelStart + row * layout.rowLength);
    std::copy_n(from, width, indices.begin() + std::ptrdiff_t(row * layout.width));
  }
}

// Other compressions carry no 8-bit indices: `wrongDepth` says which line
// the caller gives them.
Result<BitmapLayout> fittingLayout(const BitmapBytes& file, std::int32_t width, std::int32_t height,
                                   Failure wrongDepth, const std::string& path) {
  const BitmapHeaders headers = decodeBitmapHeaders(file.bytes);
  const BitmapInfoHeader& info = headers.info;
  if (info.biWidth != width) return Status(Failure::kBitmapWidth, path);
  if (info.biHeight != height) return Status(Failure::kBitmapHeight, path);
  if (!hasIndexedRows(info)) return Status(wrongDepth, path);
  const BitmapLayout layout = bitmapLayout(headers.file, info);
  if (!layoutFitsFile(layout, info, std::int64_t(file.bytes.size()))) {
    return Status(Failure::kBitmapCorrupt, path);
  }
  return layout;
}

}  // namespace

PaletteColours decodeColourTable(std::span<const std::uint8_t> file, std::int64_t start,
                                 std::int64_t count, int entrySize) {
  PaletteColours colours{};
  for (std::int64_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = &file[std::size_t(start + i * entrySize)];
    for (int c = 0; c < kPaletteColourBytes; ++c) {
      colours[std::size_t(i * kPaletteColourBytes + c)] = entry[kPaletteColourBytes - 1 - c];
    }
  }
  return colours;
}

bool decodeIndexedRows(std::span<const std::uint8_t> file, const BitmapLayout& layout,
                       std::span<std::uint8_t> indices) {
  if (!layout.runLengthEncoded) {
    copyPlainRows(file, layout, indices);
    return true;
  }
  Rle8Input stream(file.subspan(std::size_t(layout.pixelStart)));
  return decodeRle8(stream, static_cast<std::int32_t>(layout.width),
                    static_cast<std::int32_t>(layout.height), indices.data());
}

Status checkIndexedBitmap(const BitmapBytes& file, std::int32_t width, std::int32_t height,
                          Failure wrongDepth, const std::string& path) {
  Result<BitmapLayout> layout = fittingLayout(file, width, height, wrongDepth, path);
  if (!layout.ok()) return layout.status();
  if (!layout->runLengthEncoded) return {};
  Rle8Input stream(std::span(file.bytes).subspan(std::size_t(layout->pixelStart)));
  if (!decodeRle8(stream, width, height, nullptr)) return Status(Failure::kBitmapCorrupt, path);
  return {};
}

Result<IndexedBitmap> decodeIndexedBitmap(const BitmapBytes& file, std::int32_t width,
                                          std::int32_t height, Failure wrongDepth,
                                          const std::string& path) {
  Result<BitmapLayout> layout = fittingLayout(file, width, height, wrongDepth, path);
  if (!layout.ok()) return layout.status();
  IndexedBitmap bitmap;
  bitmap.width = width;
  bitmap.height = height;
  bitmap.indices.resize(std::size_t(layout->width * layout->height));
  if (!decodeIndexedRows(file.bytes, *layout, bitmap.indices)) {
    return Status(Failure::kBitmapCorrupt, path);
  }
  bitmap.palette = decodeColourTable(file.bytes, layout->colorTableStart, layout->colorCount,
                                     kColorTableEntrySize);
  return bitmap;
}

}  // namespace tintrod
