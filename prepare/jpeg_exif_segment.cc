#include "prepare/jpeg_exif_segment.h"

#include <algorithm>
#include <array>

#include "util/coding.h"

namespace tintrod {
namespace {

constexpr std::uint8_t kMarker = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kApp1 = 0xE1;
constexpr std::size_t kLengthSize = 2;  // a segment's length counts its own two bytes
constexpr std::array<std::uint8_t, 6> kExifSignature = {'E', 'x', 'i', 'f', 0, 0};

// Markers that stand alone, without a length: TEM and the restart markers.
bool standsAlone(std::uint8_t marker) { return marker == 0x01 || (marker & 0xF8) == 0xD0; }

}  // namespace

std::span<const std::uint8_t> jpegExifPayload(std::span<const std::uint8_t> file) {
  if (file.size() < 2 || file[0] != kMarker || file[1] != kStartOfImage) return {};
  std::size_t at = 2;
  while (at < file.size()) {
    if (file[at] != kMarker) return {};
    // Any number of fill bytes may precede a marker's code.
    while (at < file.size() && file[at] == kMarker) ++at;
    if (at >= file.size()) return {};
    const std::uint8_t marker = file[at++];
    if (marker == kStartOfScan || marker == kEndOfImage) return {};
    if (standsAlone(marker)) continue;
    if (file.size() - at < kLengthSize) return {};
    const std::size_t length = decodeBigEndian16(file.data() + at);
    if (length < kLengthSize || length > file.size() - at) return {};
    const std::span<const std::uint8_t> payload =
        file.subspan(at + kLengthSize, length - kLengthSize);
    if (marker == kApp1 && payload.size() >= kExifSignature.size() &&
        std::equal(kExifSignature.begin(), kExifSignature.end(), payload.begin())) {
      return payload;
    }
    at += length;
  }
  return {};
}

}  // namespace tintrod
