#include "prepare/jpeg_exif_segment.h"

#include <algorithm>
#include <array>

#include "prepare/jpeg_markers.h"

namespace tintrod {
namespace {

constexpr std::uint8_t kApp1 = 0xE1;
constexpr std::array<std::uint8_t, 6> kExifSignature = {'E', 'x', 'i', 'f', 0, 0};

}  // namespace

std::span<const std::uint8_t> jpegExifPayload(std::span<const std::uint8_t> file) {
  std::span<const std::uint8_t> exif;
  walkJpegSegments(file, [&exif](const JpegSegment& segment) {
    if (segment.marker == kJpegStartOfScan || segment.marker == kJpegEndOfImage) return false;
    const auto& payload = segment.payload;
    if (segment.marker == kApp1 && payload.size() >= kExifSignature.size() &&
        std::equal(kExifSignature.begin(), kExifSignature.end(), payload.begin())) {
      exif = payload;
      return false;
    }
    return true;
  });
  return exif;
}

}  // namespace tintrod
