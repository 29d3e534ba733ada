#include "prepare/prepare_picture.h"

#include <new>
#include <stdexcept>

#include "bitmap/bitmap_writer.h"
#include "prepare/decode_picture.h"
#include "prepare/exif_orientation.h"
#include "prepare/fit_picture.h"
#include "prepare/orient_picture.h"
#include "prepare/slot_size.h"
#include "quantize/quantize.h"

namespace tintrod {
namespace {

constexpr std::uint32_t kHalf16 = 32767;
constexpr std::uint32_t kMax16 = 65535;
constexpr std::uint32_t kMax8 = 255;

// Rounds to nearest, so that v * 257 comes back as v.
std::vector<std::uint8_t> eightBitChannels(const RgbPicture& picture) {
  std::vector<std::uint8_t> rgb(picture.channels.size());
  for (std::size_t i = 0; i < rgb.size(); ++i) {
    rgb[i] = static_cast<std::uint8_t>((picture.channels[i] * kMax8 + kHalf16) / kMax16);
  }
  return rgb;
}

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
  PreparedPicture result;
  DecodedPicture decoded =
      decodePicture(picture, DecodeTarget{width, height, options.fit}, options.background);
  if (decoded.failure) {
    result.failure = decoded.failure;
    return result;
  }
  decoded.picture = orientPicture(std::move(decoded.picture), pictureOrientation(picture));
  const RgbPicture fitted =
      fitPicture(decoded.picture, width, height, options.fit, options.background);
  decoded.picture = RgbPicture{};  // the full-size picture is no longer needed
  QuantizeOptions quantizeOptions;
  quantizeOptions.dither = options.dither;
  const QuantizedPicture quantized =
      quantize(eightBitChannels(fitted), width, height, quantizeOptions);
  auto file = encodeCompactIndexedBitmap(width, height, quantized.palette,
                                         bottomUp(quantized.indices, width, height));
  // Slot sizes keep the file far below the format's limits; only a broken
  // quantizer result gets here.
  if (!file) throw std::logic_error("quantizer result does not fit a bitmap");
  result.bitmap = std::move(*file);
  return result;
}

}  // namespace

PreparedPicture preparePicture(std::span<const std::uint8_t> picture, int width, int height,
                               const PrepareOptions& options) {
  if (width < 1 || height < 1 || width > kMaxSlotSide || height > kMaxSlotSide) {
    return PreparedPicture{Failure::kUnknownSlot, {}};
  }
  try {
    return prepared(width, height, options, picture);
  } catch (const std::bad_alloc&) {
    // The limits keep a picture's own buffers modest; a machine (or a
    // browser tab) that cannot hold them all the same is one it is too large for.
    return PreparedPicture{Failure::kPictureTooLarge, {}};
  }
}

}  // namespace tintrod
