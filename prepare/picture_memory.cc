#include "prepare/picture_memory.h"

#include <algorithm>
#include <cstdint>

#include "prepare/format_webp.h"
#include "prepare/rgb_picture.h"

namespace tintrod {
namespace {

// The program itself and the scaler's rows: what a run holds beside the file,
// the pictures and the quantizer.
constexpr std::int64_t kBesideThePicture = std::int64_t{8} << 20;

// The fitted picture (3 bytes a pixel), the quantizer's sort of its pixels
// and its histogram (every pixel's colour distinct, at worst) and indices,
// and the bitmap written: 20.7 bytes a slot pixel measured for a picture of
// noise to a 4096 x 4096 slot.
constexpr std::int64_t kSlotBytesPerPixel = 22;
constexpr std::int64_t kFittedBytesPerPixel = 3;

// What the library may hold for the picture it declares, generously: for an
// interlaced PNG of N bytes a pixel, its inflated rows grown by doubling
// (2N), the pixels (N) and a pass (N / 2), with room for an added alpha; for
// other formats, a progressive CMYK JPEG's coefficients, planes and pixels.
// Also a copy of a PNG's compressed data, grown by doubling; sides rounded up
// to whole JPEG units; and tables.
constexpr std::int64_t kDecoderBytesPerPixel = 16;
constexpr std::int64_t kPngDecoderBytesPerByte = 4;
constexpr std::int64_t kPngDecoderExtraBytes = 4;
constexpr std::int64_t kDecoderSidePadding = 32;
constexpr std::int64_t kDecoderFixedBytes = std::int64_t{1} << 20;

// A GIF frame is decoded beside the background it was drawn on (4 bytes a
// pixel each) and a byte a pixel of its history.
constexpr std::int64_t kGifBytesPerPixel = 9;

std::int64_t pictureNeed(std::size_t fileSize, const PictureHeader& header) {
  const std::int64_t pixels =
      (header.width + kDecoderSidePadding) * (header.height + kDecoderSidePadding);
  const std::int64_t perPixel =
      header.format == PictureFormat::kPng
          ? std::max(kPngDecoderBytesPerByte * header.pngPixelBytes + kPngDecoderExtraBytes,
                     std::int64_t{8})
          : kDecoderBytesPerPixel;
  return 2 * std::int64_t(fileSize) + perPixel * pixels + kDecoderFixedBytes;
}

// The library's pixels, and the opaque RGB picture where it cannot reuse them.
std::int64_t decodedBytes(const PictureHeader& header) {
  return header.width * header.height * header.decodedChannels * header.decodedChannelBytes;
}

std::int64_t widenedBytes(const PictureHeader& header) {
  return header.decodedChannels < kRgbChannels ? header.width * header.height * kRgbChannels : 0;
}

// The most held at once besides the file: for a PNG, its compressed data
// gathered (grown by doubling) while its rows inflate, then the rows while the
// pixels are made from them (an interlaced picture's passes beside them).
std::int64_t decodingPeak(std::int64_t fileSize, const PictureHeader& header) {
  const std::int64_t decoded = decodedBytes(header);
  const std::int64_t afterwards = decoded + widenedBytes(header);
  switch (header.format) {
    case PictureFormat::kPng: {
      const std::int64_t rows = header.height * header.pngRowBytes;
      const std::int64_t making = rows + decoded * (header.pngInterlaced ? 2 : 1);
      return std::max({2 * fileSize + rows, making, afterwards});
    }
    case PictureFormat::kGif:
      return header.width * header.height * kGifBytesPerPixel;
    case PictureFormat::kWebp:
      return webpDecodingPeak(header);
    default:
      return afterwards;
  }
}

}  // namespace

DecoderAllowance decoderAllowance(std::size_t fileSize, const PictureHeader& header) {
  const std::int64_t left =
      kMaxPictureMemory - kBesideThePicture - std::int64_t(fileSize) - widenedBytes(header);
  const std::int64_t need = pictureNeed(fileSize, header);
  if (need <= left) return {std::size_t(need), false};
  return {std::size_t(std::max<std::int64_t>(left, 0)), true};
}

// The decoded picture is fitted into a picture of its own, which the
// quantizer then reads; the decoded one is gone by then.
std::int64_t afterDecoding(std::int64_t decoded, std::int64_t slotPixels) {
  return std::max(decoded + kFittedBytesPerPixel * slotPixels, slotStagesBytes(slotPixels));
}

bool fitsMemoryLimit(std::size_t fileSize, const PictureHeader& header, std::int64_t slotPixels) {
  const auto file = std::int64_t(fileSize);
  const std::int64_t decoded = decodedBytes(header) + widenedBytes(header);
  const std::int64_t peak =
      std::max(decodingPeak(file, header), afterDecoding(decoded, slotPixels));
  return file + peak + kBesideThePicture <= kMaxPictureMemory;
}

std::int64_t jpegDecoderAllowance(std::size_t fileSize, std::int64_t pictureBytes,
                                  std::int64_t slotPixels) {
  const std::int64_t left = kMaxPictureMemory - kBesideThePicture - std::int64_t(fileSize);
  if (afterDecoding(2 * pictureBytes, slotPixels) > left) return 0;
  return std::max<std::int64_t>(left - 2 * pictureBytes, 0);
}

std::int64_t slotStagesBytes(std::int64_t slotPixels) { return kSlotBytesPerPixel * slotPixels; }

}  // namespace tintrod
