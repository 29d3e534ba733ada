#include "bitmap/validate_bitmap.h"

#include "bitmap/checked_bitmap.h"
#include "bitmap/rle8.h"

namespace tintrod {

Status validateBitmap(std::int32_t requiredWidth, std::int32_t requiredHeight,
                      const std::string& path) {
  // Other compressions carry no 8-bit indices, so they count as the wrong depth.
  Result<CheckedBitmap> checked =
      openCheckedBitmap(path, requiredWidth, requiredHeight, Failure::kBitmapDepth);
  if (!checked.ok()) return checked.status();
  CheckedBitmap& bitmap = *checked;
  if (bitmap.layout.runLengthEncoded) {
    // The loader must never meet a stream that stops short or overruns.
    if (!bitmap.file.seekTo(bitmap.layout.pixelStart)) return Status(Failure::kBitmapCorrupt, path);
    Rle8Input stream(bitmap.file);
    if (!decodeRle8(stream, requiredWidth, requiredHeight, nullptr)) {
      return Status(Failure::kBitmapCorrupt, path);
    }
  }
  return {};
}

}  // namespace tintrod
