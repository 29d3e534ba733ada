#include "tool/load_bitmap.h"

#include <algorithm>

namespace tintrod {

// The codec knows nothing of textures; their palettes hold exactly what the
// largest colour table does.
static_assert(kPaletteSize == std::tuple_size_v<PaletteColours>);

Result<IndexedBitmap> readSlotBitmap(std::int32_t width, std::int32_t height,
                                     const std::string& path) {
  Result<BitmapBytes> file = readBitmapFile(path, kMaxSlotBitmapFileSize);
  if (!file.ok()) return file.status();
  // Other compressions carry no 8-bit indices, so they count as the wrong depth.
  return decodeIndexedBitmap(*file, width, height, Failure::kBitmapDepth, path);
}

Status loadIntoTexture(TextureRecord& record, const IndexedBitmap& bitmap,
                       const std::string& path) {
  if (bitmap.width != record.width()) return Status(Failure::kBitmapWidth, path);
  if (bitmap.height != record.height()) return Status(Failure::kBitmapHeight, path);
  // A block, where there is one, holds all three levels of the record's size.
  if (record.pixels() == nullptr) return Status(Failure::kBitmapCorrupt, path);
  // Level 0 is packed: rows are `width` bytes apart, in file order.
  std::copy(bitmap.palette.begin(), bitmap.palette.end(), record.palette());
  std::copy(bitmap.indices.begin(), bitmap.indices.end(), record.pixels());
  return {};
}

Status loadBitmapIntoTexture(TextureRecord& record, const std::string& path) {
  const std::int64_t maxSize =
      std::max(kMaxSlotBitmapFileSize, maxBitmapFileSize(record.width(), record.height()));
  Result<BitmapBytes> file = readBitmapFile(path, maxSize);
  if (!file.ok()) return file.status();
  Result<IndexedBitmap> bitmap =
      decodeIndexedBitmap(*file, record.width(), record.height(), Failure::kBitmapCorrupt, path);
  if (!bitmap.ok()) return bitmap.status();
  return loadIntoTexture(record, *bitmap, path);
}

}  // namespace tintrod
