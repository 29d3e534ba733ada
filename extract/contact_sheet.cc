#include "extract/contact_sheet.h"

#include <algorithm>

namespace tintrod {
namespace {

constexpr int kRgbSize = 3;

void drawLevel(const PixelLevel& level, const std::uint8_t* palette, std::int64_t left,
               std::int64_t top, const SheetLayout& layout, std::vector<std::uint8_t>& pixels) {
  if (level.pixels == nullptr) return;
  // Stored row 0 is the bottom of the picture, so it lands on the sheet's
  // lowest row of the level: sheet rows also run bottom-up.
  const std::int64_t bottomRow = layout.height - top - level.height;
  for (std::int64_t row = 0; row < level.height; ++row) {
    const std::uint8_t* indices = level.pixels + row * level.width;
    std::uint8_t* out = pixels.data() + ((bottomRow + row) * layout.width + left) * kRgbSize;
    for (std::int64_t x = 0; x < level.width; ++x, out += kRgbSize) {
      std::copy_n(palette + std::ptrdiff_t{kRgbSize} * indices[x], kRgbSize, out);
    }
  }
}

}  // namespace

SheetLayout layOutSheet(const std::vector<TextureRecord>& records) {
  SheetLayout layout;
  layout.width = 2 * kSheetGap;
  layout.height = kSheetGap;
  for (const TextureRecord& record : records) {
    std::array<std::int64_t, kPixelLevelCount> left{};
    std::int64_t right = kSheetGap;
    for (int index = 0; index < kPixelLevelCount; ++index) {
      left[index] = right;
      right += record.level(index).width + kSheetGap;
    }
    layout.left.push_back(left);
    layout.top.push_back(layout.height);
    layout.width = std::max(layout.width, right);
    layout.height += record.height() + kSheetGap;
  }
  return layout;
}

std::vector<std::uint8_t> drawSheet(const std::vector<TextureRecord>& records,
                                    const SheetLayout& layout) {
  std::vector<std::uint8_t> pixels(
      static_cast<std::size_t>(layout.width * layout.height * kRgbSize));
  for (std::size_t i = 0; i < pixels.size(); i += kRgbSize) {
    std::copy(kSheetGround.begin(), kSheetGround.end(), pixels.begin() + i);
  }
  for (std::size_t row = 0; row < records.size(); ++row) {
    for (int index = 0; index < kPixelLevelCount; ++index) {
      drawLevel(records[row].level(index), records[row].palette(), layout.left[row][index],
                layout.top[row], layout, pixels);
    }
  }
  return pixels;
}

}  // namespace tintrod
