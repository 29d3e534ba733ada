// One picture of every texture of a model: a row per texture in table order,
// its label above it, levels 0, 1 and 2 left to right, top-aligned, on a grey
// ground.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "template/texture_record.h"

namespace tintrod {

inline constexpr std::int64_t kSheetGap = 4;  // around and between the pictures
// 96 MiB of pixels: a real cue needs a few megapixels at most.
inline constexpr std::int64_t kMaxSheetPixels = std::int64_t{1} << 25;
inline constexpr std::array<std::uint8_t, 3> kSheetGround = {0x80, 0x80, 0x80};
inline constexpr std::array<std::uint8_t, 3> kSheetInk = {0x00, 0x00, 0x00};
// The font's cells are 12 units high, descenders included; two pixels a unit
// keep its strokes readable next to textures of 256 pixels and more.
inline constexpr std::int64_t kLabelScale = 2;
inline constexpr std::int64_t kLabelHeight = 12 * kLabelScale;

struct SheetLayout {
  std::int64_t width = 0;
  std::int64_t height = 0;
  // Left edge of each level and top edge of each row's pictures, counted from
  // the sheet's top-left corner; a row's label fills the kLabelHeight above.
  std::vector<std::array<std::int64_t, kPixelLevelCount>> left;
  std::vector<std::int64_t> top;

  bool fitsLimit() const { return width * height <= kMaxSheetPixels; }
};

// Reads only the records' sizes and the labels' lengths, so it can be asked
// before anything is drawn. `labels` holds one line per record, printable
// ASCII only.
SheetLayout layOutSheet(const std::vector<TextureRecord>& records,
                        const std::vector<std::string>& labels);

// Red-green-blue pixels of the laid-out sheet, rows packed 3 x width bytes
// apart, bottom row first as a BMP file stores them. The layout must fit.
std::vector<std::uint8_t> drawSheet(const std::vector<TextureRecord>& records,
                                    const std::vector<std::string>& labels,
                                    const SheetLayout& layout);

}  // namespace tintrod
