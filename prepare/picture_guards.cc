#include "prepare/picture_guards.h"

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <vector>

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

std::size_t bigEndian16(std::span<const std::uint8_t> file, std::size_t at) {
  return std::size_t{file[at]} << 8 | file[at + 1];
}

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
    const std::size_t length = bigEndian16(file, at + 2);
    if (isSkippedSegment(marker)) ranges.push_back({at + 2, at + 2 + length});
    at += 2 + length;
  }
  return ranges;
}

// The tables of one DHT segment, read as the decoder reads them: on past the
// segment's end when its length says so.
bool tablesFit(std::span<const std::uint8_t> file, std::size_t segment) {
  if (segment + 2 > file.size()) return true;
  auto remaining = static_cast<std::ptrdiff_t>(bigEndian16(file, segment)) - 2;
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

}  // namespace

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
