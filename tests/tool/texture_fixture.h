// A texture record over plain vectors, for loading bitmaps into in tests.
#pragma once

#include <cstdint>
#include <vector>

#include "template/format.h"
#include "template/texture_record.h"
#include "util/coding.h"

namespace tintrod::testing {

struct TextureFixture {
  // Palette and pixels start out as recognisable fillers.
  TextureFixture(std::uint16_t width, std::uint16_t height)
      : bytes(kTextureRecordSize, 0x33),
        pixels(static_cast<std::size_t>(pixelBlockLength(width, height)), 0x5A) {
    encodeFixed16(&bytes[kRecordWidthOffset], width);
    encodeFixed16(&bytes[kRecordHeightOffset], height);
  }

  TextureRecord record() { return TextureRecord(bytes.data(), pixels.data()); }

  std::vector<std::uint8_t> palette() const {
    return {bytes.begin() + kRecordPaletteOffset,
            bytes.begin() + kRecordPaletteOffset + kPaletteSize};
  }

  std::vector<std::uint8_t> levelZero(std::size_t area) const {
    return {pixels.begin(), pixels.begin() + static_cast<std::ptrdiff_t>(area)};
  }

  std::vector<std::uint8_t> bytes;
  std::vector<std::uint8_t> pixels;
};

}  // namespace tintrod::testing
