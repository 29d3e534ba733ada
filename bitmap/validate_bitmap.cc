#include "bitmap/validate_bitmap.h"

#include "bitmap/bitmap_file.h"
#include "bitmap/indexed_bitmap.h"

namespace tintrod {

Status validateBitmap(std::int32_t requiredWidth, std::int32_t requiredHeight,
                      const std::string& path) {
  Result<BitmapBytes> file = readBitmapFile(path, maxBitmapFileSize(requiredWidth, requiredHeight));
  if (!file.ok()) return file.status();
  return checkIndexedBitmap(*file, requiredWidth, requiredHeight, Failure::kBitmapDepth, path);
}

}  // namespace tintrod
