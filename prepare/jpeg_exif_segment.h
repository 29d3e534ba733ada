// Where a JPEG keeps its EXIF block: the payload of the first APP1 segment
// that starts "Exif\0\0" before the first scan, found by the same walk over
// the segments that the guards take.
#pragma once

#include <cstdint>
#include <span>

namespace tintrod {

// The APP1 payload (from "Exif"), inside `file`; empty when `file` is no
// JPEG, holds no such segment before its first scan, or is cut short.
std::span<const std::uint8_t> jpegExifPayload(std::span<const std::uint8_t> file);

}  // namespace tintrod
