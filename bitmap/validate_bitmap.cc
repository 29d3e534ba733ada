#include "bitmap/validate_bitmap.h"

#include "bitmap/bitmap_headers.h"
#include "bitmap/bitmap_layout.h"
#include "bitmap/rle8.h"
#include "util/failure.h"
#include "util/input_file.h"

namespace tintrod {

void validateBitmap(std::int32_t requiredWidth, std::int32_t requiredHeight,
                    const std::string& path) {
  InputFile file;
  if (!file.open(path)) fail(Failure::kBitmapOpen, path);
  const BitmapHeaders headers = readBitmapHeaders(file);
  const BitmapInfoHeader& info = headers.info;
  if (info.biWidth != requiredWidth) fail(Failure::kBitmapWidth, path);
  if (info.biHeight != requiredHeight) fail(Failure::kBitmapHeight, path);
  // Other compressions carry no 8-bit indices, so they count as the wrong depth.
  if (!hasIndexedRows(info)) fail(Failure::kBitmapDepth, path);
  const BitmapLayout layout = bitmapLayout(headers.file, info);
  if (!layoutFitsFile(layout, info, file.size())) fail(Failure::kBitmapCorrupt, path);
  if (layout.runLengthEncoded) {
    // The loader must never meet a stream that stops short or overruns.
    if (!file.seekTo(layout.pixelStart)) fail(Failure::kBitmapCorrupt, path);
    Rle8Input stream(file);
    if (!decodeRle8(stream, info.biWidth, info.biHeight, nullptr)) {
      fail(Failure::kBitmapCorrupt, path);
    }
  }
}

}  // namespace tintrod
