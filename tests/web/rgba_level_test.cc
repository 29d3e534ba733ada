#include "web/rgba_level.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace tintrod::web {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Entry i is (i, 2i, 3i) modulo 256, so every index shows in all three channels.
std::array<std::uint8_t, 768> rampPalette() {
  std::array<std::uint8_t, 768> palette{};
  for (int i = 0; i < 256; ++i) {
    palette[3 * i] = static_cast<std::uint8_t>(i);
    palette[3 * i + 1] = static_cast<std::uint8_t>(2 * i);
    palette[3 * i + 2] = static_cast<std::uint8_t>(3 * i);
  }
  return palette;
}

Bytes rgbaOf(std::initializer_list<int> indices) {
  Bytes rgba;
  for (const int i : indices) {
    rgba.insert(rgba.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(2 * i),
                             static_cast<std::uint8_t>(3 * i), 255});
  }
  return rgba;
}

TEST(RgbaLevel, StoredRowsComeOutBottomUpAndOpaque) {
  const auto palette = rampPalette();
  struct Case {
    Bytes indices;  // stored order: the first row is the bottom of the picture
    std::int32_t width;
    std::int32_t height;
    Bytes expected;  // drawn order: top row first
  };
  const Case cases[] = {
      {{7}, 1, 1, rgbaOf({7})},
      {{1, 2, 3, 4}, 2, 2, rgbaOf({3, 4, 1, 2})},
      {{1, 2, 3, 200, 201, 202}, 3, 2, rgbaOf({200, 201, 202, 1, 2, 3})},
      {{9, 8, 7}, 1, 3, rgbaOf({7, 8, 9})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(rgbaOfLevel({c.indices.data(), c.width, c.height}, palette.data()), c.expected)
        << c.width << " x " << c.height;
  }
}

TEST(RgbaLevel, AbsentPixelsDrawNothing) {
  const auto palette = rampPalette();
  EXPECT_EQ(rgbaOfLevel({nullptr, 2, 3}, palette.data()), Bytes(24, 0));
  EXPECT_TRUE(rgbaOfLevel({nullptr, 0, 0}, palette.data()).empty());
}

}  // namespace
}  // namespace tintrod::web
