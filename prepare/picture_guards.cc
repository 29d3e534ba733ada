#include "prepare/picture_guards.h"

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <vector>

#include "prepare/gif_frame.h"
#include "prepare/jpeg_scans.h"
#include "util/coding.h"

namespace tintrod {
namespace {

constexpr std::uint8_t kMarker = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kHuffmanTable = 0xC4;
constexpr std::uint8_t kComment = 0xFE;
constexpr int kCodeLengths = 16;
constexpr int kMaxSymbols = 256;

struct Range {
  std::size_t begin;
  std::size_t end;
};

bool hasNoLength(std::uint8_t marker) {
  return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);  // TEM, RST0-7
}

bool isSkippedSegment(std::uint8_t marker) {
  return (marker >= 0xE0 && marker <= 0xEF) || marker == kComment;  // APP0-15, COM
}

// The payloads of the application and comment segments before the first scan.
std::vector<Range> skippedPayloads(std::span<const std::uint8_t> file) {
  std::vector<Range> ranges;
  std::size_t at = 2;
  while (at + 4 <= file.size() && file[at] == kMarker) {
    const std::uint8_t marker = file[at + 1];
    if (marker == kMarker) {
      ++at;  // fill byte
      continue;
    }
    if (marker == kStartOfScan || marker == kEndOfImage) break;
    if (hasNoLength(marker)) {
      at += 2;
      continue;
    }
    const std::size_t length = decodeBigEndian16(&file[at + 2]);
    if (isSkippedSegment(marker)) ranges.push_back({at + 2, at + 2 + length});
    at += 2 + length;
  }
  return ranges;
}

// The tables of one DHT segment, read as the decoder reads them: on past the
// segment's end when its length says so.
bool tablesFit(std::span<const std::uint8_t> file, std::size_t segment) {
  if (segment + 2 > file.size()) return true;
  auto remaining = static_cast<std::ptrdiff_t>(decodeBigEndian16(&file[segment])) - 2;
  std::size_t table = segment + 2;
  while (remaining > 0 && table + 1 + kCodeLengths <= file.size()) {
    const auto counts = file.subspan(table + 1, kCodeLengths);
    const int symbols = std::accumulate(counts.begin(), counts.end(), 0);
    if (symbols > kMaxSymbols) return false;
    table += 1 + kCodeLengths + std::size_t(symbols);
    remaining -= 1 + kCodeLengths + symbols;
  }
  return true;
}

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
      return true;
    case PictureFormat::kJpeg:
      return jpegHuffmanCountsFit(file) && jpegScansComplete(file);
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

bool jpegHuffmanCountsFit(std::span<const std::uint8_t> file) {
  if (file.size() < 2 || file[0] != kMarker || file[1] != kStartOfImage) return true;
  const std::vector<Range> skipped = skippedPayloads(file);
  for (std::size_t at = 2; at + 1 < file.size(); ++at) {
    if (file[at] != kMarker || file[at + 1] != kHuffmanTable) continue;
    const bool inSkipped = std::any_of(skipped.begin(), skipped.end(), [at](const Range& range) {
      return at >= range.begin && at < range.end;
    });
    if (!inSkipped && !tablesFit(file, at + 2)) return false;
  }
  return true;
}

}  // namespace tintrod
