#include "prepare/prepare_picture.h"

#include <new>

#include "bitmap/bitmap_writer.h"
#include "prepare/fit_picture.h"
#include "prepare/orient_picture.h"
#include "prepare/slot_size.h"
#include "quantize/quantize.h"

namespace tintrod {
namespace {

// The quantizer's rows run top to bottom, a BMP's bottom to top.
std::vector<std::uint8_t> bottomUp(const std::vector<std::uint8_t>& indices, int width,
                                   int height) {
  std::vector<std::uint8_t> rows(indices.size());
  for (int row = 0; row < height; ++row) {
    const auto from = indices.begin() + std::ptrdiff_t(height - 1 - row) * width;
    std::copy(from, from + width, rows.begin() + std::ptrdiff_t(row) * width);
  }
  return rows;
}

PreparedPicture prepared(int width, int height, const PrepareOptions& options,
                         std::span<const std::uint8_t> picture) {
  Result<std::unique_ptr<PictureReader>> reader = openPicture(picture);
  if (!reader.ok()) return reader.status();
  const int orientation = (*reader)->info().orientation;
  // A picture stored on its side is decoded for the slot turned with it.
  const DecodeTarget target = orientationSwapsSides(orientation)
                                  ? DecodeTarget{height, width, options.fit}
                                  : DecodeTarget{width, height, options.fit};
  if (Status checked = (*reader)->check(target); !checked.ok()) return checked;
  Result<RgbPicture> decoded = (*reader)->decode(target, options.background);
  if (!decoded.ok()) return decoded.status();
  RgbPicture oriented = orientPicture(std::move(*decoded), orientation);
  const Result<RgbPicture> fitted =
      fitPicture(std::move(oriented), width, height, options.fit, options.background);
  if (!fitted.ok()) return fitted.status();
  QuantizeOptions quantizeOptions;
  quantizeOptions.dither = options.dither;
  const QuantizedPicture quantized = quantizePicture(
      std::span(fitted->channels.data(), fitted->channels.size()), width, height, quantizeOptions);
  auto file = encodeCompactIndexedBitmap(width, height, quantized.palette,
                                         bottomUp(quantized.indices, width, height));
  // Slot sizes keep the file far below the format's limits; only a broken
  // quantizer result gets here.
  if (!file) return Status(Failure::kInternal);
  return std::move(*file);
}

}  // namespace

PreparedPicture preparePicture(std::span<const std::uint8_t> picture, int width, int height,
                               const PrepareOptions& options) {
  if (width < 1 || height < 1 || width > kMaxSlotSide || height > kMaxSlotSide) {
    return Status(Failure::kUnknownSlot);
  }
  try {
    return prepared(width, height, options, picture);
  } catch (const std::bad_alloc&) {
    // The limits keep a picture's own buffers modest; a machine (or a
    // browser tab) that cannot hold them all the same is one it is too large for.
    return Status(Failure::kPictureTooLarge);
  }
}

}  // namespace tintrod
