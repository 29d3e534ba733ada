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

TEST(SheetLayout, RowPerTextureLevelsLeftToRight) {
  const SizedRecords sized({{256, 256}, {5, 3}, {0, 0}, {32, 64}});
  const SheetLayout layout = layOutSheet(sized.records());
  // 4 + 256 + 4 + 128 + 4 + 64 + 4; 4 + (256 + 4) + (3 + 4) + (0 + 4) + (64 + 4).
  EXPECT_EQ(layout.width, 464);
  EXPECT_EQ(layout.height, 343);
  EXPECT_EQ(layout.top, (std::vector<std::int64_t>{4, 264, 271, 275}));
  EXPECT_EQ(layout.left[0], (std::array<std::int64_t, 3>{4, 264, 396}));
  EXPECT_EQ(layout.left[1], (std::array<std::int64_t, 3>{4, 13, 19}));
  EXPECT_EQ(layout.left[2], (std::array<std::int64_t, 3>{4, 8, 12}));
  EXPECT_TRUE(layout.fitsLimit());

  const SheetLayout empty = layOutSheet({});
  EXPECT_EQ(empty.width, 8);
  EXPECT_EQ(empty.height, 4);
}

TEST(SheetLayout, AbsurdModelsExceedTheLimit) {
  EXPECT_FALSE(layOutSheet(SizedRecords({{65535, 65535}}).records()).fitsLimit());
  // Many small rows add up as surely as one large one.
  const std::vector<std::pair<std::uint16_t, std::uint16_t>> many(20, {1024, 1024});
  EXPECT_FALSE(layOutSheet(SizedRecords(many).records()).fitsLimit());
  EXPECT_TRUE(layOutSheet(SizedRecords({{4096, 4096}}).records()).fitsLimit());
}

}  // namespace
}  // namespace tintrod
