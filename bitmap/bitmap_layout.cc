#include "bitmap/bitmap_layout.h"

#include <algorithm>

#include "bitmap/bitmap_headers.h"

namespace tintrod {

bool hasIndexedRows(const BitmapInfoHeader& infoHeader) {
  return infoHeader.biBitCount == kBitmapDepth && (infoHeader.biCompression == kCompressionNone ||
                                                   infoHeader.biCompression == kCompressionRle8);
}

BitmapLayout bitmapLayout(const BitmapFileHeader& fileHeader, const BitmapInfoHeader& infoHeader) {
  BitmapLayout layout;
  layout.colorTableStart = std::int64_t{kBitmapFileHeaderSize} + infoHeader.biSize;
  layout.colorCount = std::min<std::int64_t>(infoHeader.biClrUsed, kMaxColorTableEntries);
  layout.pixelStart = fileHeader.bfOffBits;
  layout.width = infoHeader.biWidth;
  layout.height = infoHeader.biHeight;
  layout.rowLength = (layout.width + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
  layout.runLengthEncoded = infoHeader.biCompression == kCompressionRle8;
  return layout;
}

bool layoutFitsFile(const BitmapLayout& layout, const BitmapInfoHeader& infoHeader,
                    std::int64_t fileSize) {
  // Older, shorter info headers hold other fields at these offsets.
  if (infoHeader.biSize < kBitmapInfoHeaderSize) return false;
  // A texture is never top-down or of negative width; refusing both keeps
  // every size below non-negative.
  if (layout.width < 0 || layout.height < 0) return false;
  const std::int64_t colorTableEnd =
      layout.colorTableStart + layout.colorCount * kColorTableEntrySize;
  if (colorTableEnd > layout.pixelStart || layout.pixelStart > fileSize) return false;
  if (layout.runLengthEncoded) return true;
  return layout.height * layout.rowLength <= fileSize - layout.pixelStart;
}

}  // namespace tintrod
