#include "extract/contact_sheet.h"

#include <gtest/gtest.h>

#include "util/coding.h"

namespace tintrod {
namespace {

// Records that carry only a size: the layout never reads pixels.
class SizedRecords {
 public:
  explicit SizedRecords(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& sizes)
      : bytes_(sizes.size(), std::vector<std::uint8_t>(kTextureRecordSize, 0)) {
    for (std::size_t i = 0; i < sizes.size(); ++i) {
      encodeFixed16(&bytes_[i][kRecordWidthOffset], sizes[i].first);
      encodeFixed16(&bytes_[i][kRecordHeightOffset], sizes[i].second);
      records_.emplace_back(bytes_[i].data(), nullptr);
    }
  }
  const std::vector<TextureRecord>& records() const { return records_; }

 private:
  std::vector<std::vector<std::uint8_t>> bytes_;
  std::vector<TextureRecord> records_;
};

TEST(SheetLayout, RowPerTextureLevelsLeftToRightUnderALabel) {
  const SizedRecords sized({{256, 256}, {5, 3}, {0, 0}, {32, 64}});
  const SheetLayout layout = layOutSheet(sized.records(), {"", "", "", ""});
  // 4 + 256 + 4 + 128 + 4 + 64 + 4; 4 + each row's 24 of label, its height and 4.
  EXPECT_EQ(layout.width, 464);
  EXPECT_EQ(layout.height, 439);
  EXPECT_EQ(layout.top, (std::vector<std::int64_t>{28, 312, 343, 371}));
  EXPECT_EQ(layout.left[0], (std::array<std::int64_t, 3>{4, 264, 396}));
  EXPECT_EQ(layout.left[1], (std::array<std::int64_t, 3>{4, 13, 19}));
  EXPECT_EQ(layout.left[2], (std::array<std::int64_t, 3>{4, 8, 12}));
  EXPECT_TRUE(layout.fitsLimit());

  const SheetLayout empty = layOutSheet({}, {});
  EXPECT_EQ(empty.width, 8);
  EXPECT_EQ(empty.height, 4);
}

TEST(SheetLayout, AbsurdModelsExceedTheLimit) {
  const auto fits = [](const std::vector<std::pair<std::uint16_t, std::uint16_t>>& sizes) {
    const SizedRecords sized(sizes);
    return layOutSheet(sized.records(), std::vector<std::string>(sizes.size())).fitsLimit();
  };
  EXPECT_FALSE(fits({{65535, 65535}}));
  // Many small rows add up as surely as one large one.
  EXPECT_FALSE(fits(std::vector<std::pair<std::uint16_t, std::uint16_t>>(20, {1024, 1024})));
  EXPECT_TRUE(fits({{4096, 4096}}));
}

TEST(SheetLabels, InkOnlyInTheBandAboveEachRowAndTheSheetWideEnough) {
  const SizedRecords sized({{8, 4}, {8, 4}});
  const std::vector<std::string> labels = {"zbrubber  (bumperbmp)", std::string(60, 'W')};
  const SheetLayout layout = layOutSheet(sized.records(), labels);
  const std::vector<std::uint8_t> pixels = drawSheet(sized.records(), labels, layout);
  std::vector<std::int64_t> inkRight(labels.size(), 0);
  for (std::int64_t y = 0; y < layout.height; ++y) {
    for (std::int64_t x = 0; x < layout.width; ++x) {
      const std::size_t at =
          static_cast<std::size_t>(((layout.height - 1 - y) * layout.width + x) * 3);
      if (pixels[at] != kSheetInk[0]) continue;
      const auto row = static_cast<std::size_t>(y < layout.top[0] ? 0 : 1);
      EXPECT_GE(y, layout.top[row] - kLabelHeight) << x << "," << y;
      EXPECT_LT(y, layout.top[row]) << x << "," << y;
      EXPECT_GE(x, kSheetGap);
      inkRight[row] = std::max(inkRight[row], x + 1);
    }
  }
  EXPECT_GT(inkRight[0], 100);  // twenty-one characters, each several pixels wide
  EXPECT_GT(inkRight[1], inkRight[0]);
  EXPECT_LE(inkRight[1] + kSheetGap, layout.width);
}

}  // namespace
}  // namespace tintrod
