#include "extract/contact_sheet.h"

#include <stb/stb_easy_font.h>

#include <algorithm>
#include <cstring>

#include "template/level_colours.h"

namespace tintrod {
namespace {

constexpr int kRgbSize = 3;
// The font's quads: four vertices of x, y, z and a colour, 16 bytes each.
constexpr std::size_t kFloatsPerVertex = 4;
constexpr std::size_t kFloatsPerQuad = 4 * kFloatsPerVertex;
// Its documentation expects about 270 bytes a character; no glyph needs more
// than this.
constexpr std::size_t kFloatsPerCharacter = 256;

std::int64_t labelWidth(const std::string& label) {
  std::string text = label;  // the font's calls take a mutable string
  return stb_easy_font_width(text.data()) * kLabelScale;
}

void fill(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
          const SheetLayout& layout, std::vector<std::uint8_t>& pixels) {
  for (std::int64_t y = std::max<std::int64_t>(top, 0); y < std::min(bottom, layout.height); ++y) {
    const std::int64_t row = layout.height - 1 - y;  // sheet rows run bottom-up
    for (std::int64_t x = std::max<std::int64_t>(left, 0); x < std::min(right, layout.width); ++x) {
      std::copy(kSheetInk.begin(), kSheetInk.end(),
                pixels.begin() + (row * layout.width + x) * kRgbSize);
    }
  }
}

// The font draws every glyph as axis-aligned quads on whole units.
void drawLabel(const std::string& label, std::int64_t left, std::int64_t top,
               const SheetLayout& layout, std::vector<std::uint8_t>& pixels) {
  std::string text = label;
  std::vector<float> vertices((text.size() + 1) * kFloatsPerCharacter);
  const int quads = stb_easy_font_print(0, 0, text.data(), nullptr, vertices.data(),
                                        static_cast<int>(vertices.size() * sizeof(float)));
  for (std::size_t quad = 0; quad < static_cast<std::size_t>(quads); ++quad) {
    // Vertices 0 and 2 are opposite corners.
    const float* corner = vertices.data() + quad * kFloatsPerQuad;
    const float* opposite = corner + 2 * kFloatsPerVertex;
    const auto at = [](float unit, std::int64_t origin) {
      return origin + static_cast<std::int64_t>(unit) * kLabelScale;
    };
    fill(at(corner[0], left), at(corner[1], top), at(opposite[0], left), at(opposite[1], top),
         layout, pixels);
  }
}

void placeLevel(const PixelLevel& level, const std::uint8_t* palette, std::int64_t left,
                std::int64_t top, const SheetLayout& layout, std::vector<std::uint8_t>& pixels) {
  // Stored row 0 is the bottom of the picture, so it lands on the sheet's
  // lowest row of the level: sheet rows also run bottom-up.
  const std::int64_t bottomRow = layout.height - top - level.height;
  drawLevelColours(level, palette,
                   {pixels.data() + (bottomRow * layout.width + left) * kRgbSize,
                    static_cast<std::ptrdiff_t>(layout.width * kRgbSize), kRgbSize});
}

}  // namespace

SheetLayout layOutSheet(const std::vector<TextureRecord>& records,
                        const std::vector<std::string>& labels) {
  SheetLayout layout;
  layout.width = 2 * kSheetGap;
  layout.height = kSheetGap;
  for (std::size_t row = 0; row < records.size(); ++row) {
    const TextureRecord& record = records[row];
    std::array<std::int64_t, kPixelLevelCount> left{};
    std::int64_t right = kSheetGap;
    for (int index = 0; index < kPixelLevelCount; ++index) {
      left[index] = right;
      right += record.level(index).width + kSheetGap;
    }
    layout.left.push_back(left);
    layout.top.push_back(layout.height + kLabelHeight);
    layout.width = std::max({layout.width, right, labelWidth(labels[row]) + 2 * kSheetGap});
    layout.height += kLabelHeight + record.height() + kSheetGap;
  }
  return layout;
}

std::vector<std::uint8_t> drawSheet(const std::vector<TextureRecord>& records,
                                    const std::vector<std::string>& labels,
                                    const SheetLayout& layout) {
  std::vector<std::uint8_t> pixels(
      static_cast<std::size_t>(layout.width * layout.height * kRgbSize));
  for (std::size_t i = 0; i < pixels.size(); i += kRgbSize) {
    std::copy(kSheetGround.begin(), kSheetGround.end(), pixels.begin() + i);
  }
  for (std::size_t row = 0; row < records.size(); ++row) {
    drawLabel(labels[row], kSheetGap, layout.top[row] - kLabelHeight, layout, pixels);
    for (int index = 0; index < kPixelLevelCount; ++index) {
      placeLevel(records[row].level(index), records[row].palette(), layout.left[row][index],
                 layout.top[row], layout, pixels);
    }
  }
  return pixels;
}

}  // namespace tintrod
