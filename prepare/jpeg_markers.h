// The marker segments of a JPEG file, walked without decoding anything: each
// segment's marker and payload, and for a scan the entropy-coded data behind
// its header. The guards read frames and scans through it; a reader of
// application segments (EXIF's APP1) can stop at the one it wants.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

namespace tintrod {

inline constexpr std::uint8_t kJpegStartOfScan = 0xDA;
inline constexpr std::uint8_t kJpegEndOfImage = 0xD9;

struct JpegSegment {
  std::uint8_t marker = 0;
  // The bytes behind the length field; empty for the end-of-image marker.
  std::span<const std::uint8_t> payload;
  // For a scan: its coded data, restart markers included, up to the next marker.
  std::span<const std::uint8_t> entropyData;
};

enum class JpegWalkEnd {
  kEndOfImage,  // the end-of-image marker was reached and visited
  kStopped,     // the visitor asked to stop
  kBroken,      // not a JPEG, or cut off or damaged before its end-of-image marker
};

// Visits every segment from the one after start-of-image to end-of-image, in
// file order; `visit` returns false to stop. Bytes after end-of-image (some
// phones append a video there) are never looked at.
JpegWalkEnd walkJpegSegments(std::span<const std::uint8_t> file,
                             const std::function<bool(const JpegSegment&)>& visit);

// Start-of-frame markers name a frame's coding; 0xC4, 0xC8 and 0xCC in their
// range are other segments.
bool isJpegStartOfFrame(std::uint8_t marker);

}  // namespace tintrod
