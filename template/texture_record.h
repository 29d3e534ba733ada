// A view of one materialised row of the texture table: 807 arena bytes plus
// the pixel block that the row's reference slot names.
#pragma once

#include <cstdint>
#include <string_view>

#include "template/format.h"

namespace tintrod {

inline constexpr int kPixelLevelCount = 3;

// One level of a pixel block: rows packed `width` bytes apart, in the order a
// BMP file stores them (the first row is the bottom of the picture).
struct PixelLevel {
  const std::uint8_t* pixels = nullptr;  // null when the block is absent
  std::int32_t width = 0;
  std::int32_t height = 0;
};

class TextureRecord {
 public:
  // `pixels` holds pixelBlockLength(width, height) bytes, or is null when
  // that length is 0; the table loader guarantees it.
  TextureRecord(std::uint8_t* bytes, std::uint8_t* pixels) : bytes_(bytes), pixels_(pixels) {}

  std::uint16_t width() const;
  std::uint16_t height() const;
  // The NUL-terminated name at record byte 5; the loader guarantees the NUL.
  std::string_view name() const;

  std::uint8_t* palette() { return bytes_ + kRecordPaletteOffset; }
  const std::uint8_t* palette() const { return bytes_ + kRecordPaletteOffset; }

  std::uint8_t* pixels() { return pixels_; }
  const std::uint8_t* pixels() const { return pixels_; }
  std::int64_t pixelBlockSize() const { return pixelBlockLength(width(), height()); }
  // Level 0, 1 or 2; each halves the one before, truncating.
  PixelLevel level(int index) const;

 private:
  std::uint8_t* bytes_;
  std::uint8_t* pixels_;
};

}  // namespace tintrod
