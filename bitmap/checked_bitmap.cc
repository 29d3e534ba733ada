#include "bitmap/checked_bitmap.h"

#include "bitmap/bitmap_headers.h"

namespace tintrod {

Result<CheckedBitmap> openCheckedBitmap(const std::string& path, std::int32_t width,
                                        std::int32_t height, Failure wrongDepth) {
  CheckedBitmap bitmap;
  if (!bitmap.file.open(path)) return Status(Failure::kBitmapOpen, path);
  const BitmapHeaders headers = readBitmapHeaders(bitmap.file);
  const BitmapInfoHeader& info = headers.info;
  if (info.biWidth != width) return Status(Failure::kBitmapWidth, path);
  if (info.biHeight != height) return Status(Failure::kBitmapHeight, path);
  if (!hasIndexedRows(info)) return Status(wrongDepth, path);
  bitmap.layout = bitmapLayout(headers.file, info);
  if (!layoutFitsFile(bitmap.layout, info, bitmap.file.size())) {
    return Status(Failure::kBitmapCorrupt, path);
  }
  return bitmap;
}

}  // namespace tintrod
