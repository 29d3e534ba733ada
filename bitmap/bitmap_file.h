// A bitmap file read once, so that what is checked and what is loaded come
// from the same bytes: a file replaced between the two can give no mix.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "util/status.h"

namespace tintrod {

// A plain 8-bit file is just over its area, a run-length one that spends two
// bytes on every pixel about twice that; the rest is room for the headers,
// gaps and trailing bytes that other programs write.
inline constexpr std::int64_t kBitmapFileAreaFactor = 4;
inline constexpr std::int64_t kBitmapFileHeaderRoom = 64 * 1024;

// Saturates rather than overflow for any pair of 32-bit sides.
constexpr std::int64_t maxBitmapFileSize(std::int64_t width, std::int64_t height) {
  if (width <= 0 || height <= 0) return kBitmapFileHeaderRoom;
  const std::int64_t area = width * height;
  constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
  if (area > (kLargest - kBitmapFileHeaderRoom) / kBitmapFileAreaFactor) return kLargest;
  return kBitmapFileHeaderRoom + kBitmapFileAreaFactor * area;
}

struct BitmapBytes {
  std::vector<std::uint8_t> bytes;  // the file, or its first maxSize bytes
};

// Reads the regular file at `path`, at most its first `maxSize` bytes: a
// bitmap's headers, table and rows lie well inside them, so a file that
// carries more after its rows is read as far as it needs and loads as it
// always has, with no memory taken for the rest.
Result<BitmapBytes> readBitmapFile(const std::string& path, std::int64_t maxSize);

}  // namespace tintrod
