#include "prepare/picture_guards.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "prepare/gif_frame.h"
#include "prepare/jpeg_scans.h"
#include "util/coding.h"

namespace tintrod {
namespace {

constexpr std::size_t kBmpOffsetField = 10;
constexpr std::size_t kBmpInfoStart = 14;
constexpr std::uint32_t kBmpCoreHeaderSize = 12;
constexpr std::uint32_t kBmpRle8 = 1;
constexpr std::uint32_t kBmpRle4 = 2;
constexpr std::size_t kTgaHeaderSize = 18;
constexpr std::uint8_t kTgaRunLengthTypes = 8;  // types 9 to 11 hold packets
constexpr std::uint8_t kTgaRepeatPacket = 0x80;

std::int64_t bytesOf(std::int64_t bits) { return (bits + 7) / 8; }

// Packets run on across rows; each is a count byte and one pixel to repeat,
// or the count's pixels themselves.
bool tgaPacketsCover(std::span<const std::uint8_t> file, std::size_t at, std::int64_t pixels,
                     std::int64_t pixelBytes) {
  std::int64_t covered = 0;
  while (covered < pixels) {
    if (at >= file.size()) return false;
    const std::uint8_t packet = file[at++];
    const std::int64_t count = (packet & ~kTgaRepeatPacket) + 1;
    const std::int64_t bytes = (packet & kTgaRepeatPacket) != 0 ? pixelBytes : count * pixelBytes;
    if (std::int64_t(file.size() - at) < bytes) return false;
    at += std::size_t(bytes);
    covered += count;
  }
  return true;
}

}  // namespace

bool pictureGuardsPass(std::span<const std::uint8_t> file, PictureFormat format) {
  switch (format) {
    case PictureFormat::kPng:
    case PictureFormat::kWebp:  // its chunks are checked with its header
      return true;
    case PictureFormat::kJpeg:
      return jpegScansComplete(file);
    case PictureFormat::kBmp:
      return bmpRowsPresent(file);
    case PictureFormat::kGif:
      return gifFirstFrameComplete(file);
    case PictureFormat::kTga:
      return tgaPixelsPresent(file);
  }
  return false;
}

bool bmpRowsPresent(std::span<const std::uint8_t> file) {
  constexpr std::size_t kFieldsEnd = kBmpInfoStart + 20;
  if (file.size() < kFieldsEnd) return false;
  const std::uint8_t* info = &file[kBmpInfoStart];
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::int64_t bits = 0;
  std::uint32_t compression = 0;
  if (decodeFixed32(info) == kBmpCoreHeaderSize) {
    width = decodeFixed16(info + 4);
    height = decodeFixed16(info + 6);
    bits = decodeFixed16(info + 10);
  } else {
    width = decodeSigned32(info + 4);
    height = decodeSigned32(info + 8);
    bits = decodeFixed16(info + 14);
    compression = decodeFixed32(info + 16);
  }
  if (compression == kBmpRle8 || compression == kBmpRle4 || width < 0) return false;
  if (height < 0) height = -height;
  const std::int64_t rowLength = (width * bits + 31) / 32 * 4;
  const std::int64_t pixelStart = decodeFixed32(&file[kBmpOffsetField]);
  return pixelStart + rowLength * height <= std::int64_t(file.size());
}

bool tgaPixelsPresent(std::span<const std::uint8_t> file) {
  if (file.size() < kTgaHeaderSize) return false;
  const bool mapped = file[1] == 1;
  const std::int64_t mapStart = decodeFixed16(&file[3]);  // entries the decoder skips
  const std::int64_t mapEntries = decodeFixed16(&file[5]);
  const std::int64_t mapBytes = mapped ? mapStart + mapEntries * bytesOf(file[7]) : 0;
  const std::int64_t pixels = std::int64_t{decodeFixed16(&file[12])} * decodeFixed16(&file[14]);
  const std::int64_t pixelBytes = bytesOf(file[16]);
  const std::int64_t start = std::int64_t{kTgaHeaderSize} + file[0] + mapBytes;
  if (start > std::int64_t(file.size())) return false;
  if (file[2] > kTgaRunLengthTypes) {
    return tgaPacketsCover(file, std::size_t(start), pixels, pixelBytes);
  }
  return start + pixels * pixelBytes <= std::int64_t(file.size());
}

}  // namespace tintrod
