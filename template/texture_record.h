// A view of one materialised row of the texture table: 807 arena bytes plus
// the pixel block that the row's reference slot names.
#pragma once

#include <cstdint>
#include <string_view>

#include "template/format.h"

namespace tintrod {

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

 private:
  std::uint8_t* bytes_;
  std::uint8_t* pixels_;
};

}  // namespace tintrod
