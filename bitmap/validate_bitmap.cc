#include "bitmap/validate_bitmap.h"

#include "bitmap/checked_bitmap.h"
#include "bitmap/rle8.h"

namespace tintrod {

void validateBitmap(std::int32_t requiredWidth, std::int32_t requiredHeight,
                    const std::string& path) {
  // Other compressions carry no 8-bit indices, so they count as the wrong depth.
  CheckedBitmap bitmap =
      openCheckedBitmap(path, requiredWidth, requiredHeight, Failure::kBitmapDepth);
  if (bitmap.layout.runLengthEncoded) {
    // The loader must never meet a stream that stops short or overruns.
    if (!bitmap.file.seekTo(bitmap.layout.pixelStart)) fail(Failure::kBitmapCorrupt, path);
    Rle8Input stream(bitmap.file);
    if (!decodeRle8(stream, requiredWidth, requiredHeight, nullptr)) {
      fail(Failure::kBitmapCorrupt, path);
    }
  }
}

}  // namespace tintrod
