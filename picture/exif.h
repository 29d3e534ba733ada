// The orientation a camera records for a photo it stored turned: EXIF tag
// 0x0112 in the first image file directory, 1 to 8 as EXIF numbers them
// (picture/picture_reader.h). EXIF is a TIFF structure, in either byte order;
// a JPEG carries it in an APP1 segment.
#pragma once

#include <cstdint>
#include <span>

namespace tintrod {

// From a payload starting "Exif\0\0"; kOrientationAsStored when it has no
// such tag, a value outside 1 to 8, or any part of it lies outside `payload`.
int exifOrientation(std::span<const std::uint8_t> payload);

}  // namespace tintrod
