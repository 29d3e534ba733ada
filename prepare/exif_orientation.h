// The orientation a camera records for a JPEG it stored turned: EXIF tag
// 0x0112 in the first image file directory, 1 to 8 as EXIF numbers them
// (1 as stored; 2 mirrored; 3 turned half round; 4 flipped; 5 to 8 the same
// about the diagonal, 6 needing a quarter turn clockwise, 8 anticlockwise).
#pragma once

#include <cstdint>
#include <span>

namespace tintrod {

inline constexpr int kOrientationAsStored = 1;
inline constexpr int kOrientations = 8;

// From an APP1 payload starting "Exif\0\0"; kOrientationAsStored when it has
// no such tag, a value outside 1 to 8, or any part of it lies outside
// `payload`.
int exifOrientation(std::span<const std::uint8_t> payload);

// The orientation of a whole JPEG file; kOrientationAsStored for any other file.
int pictureOrientation(std::span<const std::uint8_t> file);

}  // namespace tintrod
