#include "prepare/jpeg_markers.h"

#include <cstddef>
#include <cstring>

#include "util/coding.h"

namespace tintrod {
namespace {

constexpr std::uint8_t kMarkerByte = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kStuffedZero = 0x00;
constexpr std::size_t kLengthBytes = 2;

bool isRestart(std::uint8_t marker) { return marker >= 0xD0 && marker <= 0xD7; }

// Markers that stand alone, without a length: TEM and the restarts.
bool hasNoLength(std::uint8_t marker) { return marker == 0x01 || isRestart(marker); }

// Where the coded data that starts at `at` ends: at the first marker that is
// neither a stuffed zero nor a restart. A run of 0xFF before a marker is fill.
// A photo's coded data is megabytes with a marker byte every few hundred, so
// the search for one is memchr's.
std::size_t entropyDataEnd(std::span<const std::uint8_t> file, std::size_t at) {
  while (at + 1 < file.size()) {
    const void* found = std::memchr(&file[at], kMarkerByte, file.size() - 1 - at);
    if (found == nullptr) break;
    at = std::size_t(static_cast<const std::uint8_t*>(found) - file.data());
    const std::uint8_t next = file[at + 1];
    if (next == kStuffedZero || isRestart(next)) {
      at += 2;
    } else if (next == kMarkerByte) {
      ++at;
    } else {
      return at;
    }
  }
  return file.size();
}

}  // namespace

bool isJpegStartOfFrame(std::uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

JpegWalkEnd walkJpegSegments(std::span<const std::uint8_t> file,
                             const std::function<bool(const JpegSegment&)>& visit) {
  if (file.size() < 2 || file[0] != kMarkerByte || file[1] != kStartOfImage) {
    return JpegWalkEnd::kBroken;
  }
  std::size_t at = 2;
  while (at + 1 < file.size()) {
    if (file[at] != kMarkerByte) return JpegWalkEnd::kBroken;
    const std::uint8_t marker = file[at + 1];
    if (marker == kMarkerByte) {
      ++at;  // fill before a marker
      continue;
    }
    at += 2;
    JpegSegment segment;
    segment.marker = marker;
    if (marker == kJpegEndOfImage)
      return visit(segment) ? JpegWalkEnd::kEndOfImage : JpegWalkEnd::kStopped;
    if (hasNoLength(marker)) continue;
    if (file.size() - at < kLengthBytes) return JpegWalkEnd::kBroken;
    const std::size_t length = decodeBigEndian16(&file[at]);
    if (length < kLengthBytes || length > file.size() - at) return JpegWalkEnd::kBroken;
    segment.payload = file.subspan(at + kLengthBytes, length - kLengthBytes);
    at += length;
    if (marker == kJpegStartOfScan) {
      const std::size_t end = entropyDataEnd(file, at);
      segment.entropyData = file.subspan(at, end - at);
      at = end;
    }
    if (!visit(segment)) return JpegWalkEnd::kStopped;
  }
  return JpegWalkEnd::kBroken;
}

}  // namespace tintrod
