#include "prepare/picture_header.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "prepare/format_webp.h"
#include "prepare/jpeg_markers.h"
#include "util/coding.h"

namespace tintrod {
namespace {

constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t kPngSizeOffset = 16;  // behind the signature and IHDR's length and type
constexpr std::size_t kGifSizeOffset = 6;
constexpr std::size_t kBmpInfoSizeOffset = 14;
constexpr std::uint32_t kBmpCoreHeaderSize = 12;  // the oldest header, of 16-bit fields
constexpr std::size_t kTgaHeaderSize = 18;

bool startsWith(std::span<const std::uint8_t> file, std::span<const std::uint8_t> prefix) {
  return file.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), file.begin());
}

bool startsWith(std::span<const std::uint8_t> file, const char* prefix) {
  const std::string_view text(prefix);
  return file.size() >= text.size() && std::equal(text.begin(), text.end(), file.begin());
}

std::optional<PictureHeader> sized(PictureFormat format, std::int64_t width, std::int64_t height) {
  if (width <= 0 || height <= 0) return std::nullopt;
  return PictureHeader{format, width, height};
}

// Channels of each PNG colour type (grey, -, RGB, palette, grey and alpha, -,
// RGBA); 0 for types that do not exist.
constexpr std::array<int, 7> kPngChannels = {1, 0, 3, 1, 2, 0, 4};

constexpr std::uint8_t kPngPalette = 3;

std::optional<PictureHeader> pngHeader(std::span<const std::uint8_t> file) {
  constexpr std::size_t kDepthOffset = kPngSizeOffset + 8;
  constexpr std::size_t kInterlaceOffset = kDepthOffset + 4;  // behind compression and filter
  if (file.size() <= kInterlaceOffset || !startsWith(file.subspan(12), "IHDR")) {
    return std::nullopt;
  }
  auto header = sized(PictureFormat::kPng, decodeBigEndian32(&file[kPngSizeOffset]),
                      decodeBigEndian32(&file[kPngSizeOffset + 4]));
  const std::uint8_t depth = file[kDepthOffset];
  const std::uint8_t colorType = file[kDepthOffset + 1];
  if (header && colorType < kPngChannels.size()) {
    const int channels = kPngChannels[colorType];
    header->pngPixelBytes = channels * (depth == 16 ? 2 : 1);
    header->pngRowBytes = 1 + (header->width * channels * depth + 7) / 8;
    header->pngInterlaced = file[kInterlaceOffset] != 0;
    header->decodedChannels = colorType == kPngPalette ? 4 : channels;
    header->decodedChannelBytes = depth == 16 ? 2 : 1;
  }
  return header;
}

std::optional<PictureHeader> jpegHeader(std::span<const std::uint8_t> file) {
  constexpr std::size_t kSizeBytes = 5;  // precision, height, width
  std::optional<PictureHeader> header;
  walkJpegSegments(file, [&](const JpegSegment& segment) {
    if (!isJpegStartOfFrame(segment.marker)) return segment.marker != kJpegStartOfScan;
    if (segment.payload.size() >= kSizeBytes) {
      header = sized(PictureFormat::kJpeg, decodeBigEndian16(&segment.payload[3]),
                     decodeBigEndian16(&segment.payload[1]));
    }
    return false;
  });
  return header;
}

std::optional<PictureHeader> gifHeader(std::span<const std::uint8_t> file) {
  if (file.size() < kGifSizeOffset + 4) return std::nullopt;
  return sized(PictureFormat::kGif, decodeFixed16(&file[kGifSizeOffset]),
               decodeFixed16(&file[kGifSizeOffset + 2]));
}

std::optional<PictureHeader> bmpHeader(std::span<const std::uint8_t> file) {
  constexpr std::size_t kSizeOffset = kBmpInfoSizeOffset + 4;
  if (file.size() < kSizeOffset + 8) return std::nullopt;
  if (decodeFixed32(&file[kBmpInfoSizeOffset]) == kBmpCoreHeaderSize) {
    return sized(PictureFormat::kBmp, decodeFixed16(&file[kSizeOffset]),
                 decodeFixed16(&file[kSizeOffset + 2]));
  }
  const std::int64_t height = decodeSigned32(&file[kSizeOffset + 4]);
  return sized(PictureFormat::kBmp, decodeSigned32(&file[kSizeOffset]),
               height < 0 ? -height : height);
}

// TGA has no signature: a file is taken as one when its header holds a
// combination of types and depths that the format allows.
std::optional<PictureHeader> tgaHeader(std::span<const std::uint8_t> file) {
  if (file.size() < kTgaHeaderSize) return std::nullopt;
  const std::uint8_t mapType = file[1];
  const std::uint8_t imageType = file[2];
  const std::uint8_t mapBits = file[7];
  const std::uint8_t pixelBits = file[16];
  const bool mapped = imageType == 1 || imageType == 9;
  const bool direct = imageType == 2 || imageType == 3 || imageType == 10 || imageType == 11;
  const bool mapBitsValid =
      mapBits == 8 || mapBits == 15 || mapBits == 16 || mapBits == 24 || mapBits == 32;
  const bool valid = mapped ? mapType == 1 && mapBitsValid && (pixelBits == 8 || pixelBits == 16)
                            : direct && mapType == 0 &&
                                  (pixelBits == 8 || pixelBits == 15 || pixelBits == 16 ||
                                   pixelBits == 24 || pixelBits == 32);
  if (!valid) return std::nullopt;
  return sized(PictureFormat::kTga, decodeFixed16(&file[12]), decodeFixed16(&file[14]));
}

}  // namespace

std::optional<PictureHeader> readPictureHeader(std::span<const std::uint8_t> file) {
  if (startsWith(file, kPngSignature)) return pngHeader(file);
  if (startsWith(file, std::array<std::uint8_t, 2>{0xFF, 0xD8})) return jpegHeader(file);
  if (startsWith(file, "GIF87a") || startsWith(file, "GIF89a")) return gifHeader(file);
  if (startsWith(file, "BM")) return bmpHeader(file);
  if (isWebpFile(file)) return webpHeader(file);
  return tgaHeader(file);
}

}  // namespace tintrod
