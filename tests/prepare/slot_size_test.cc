#include "prepare/slot_size.h"

#include <gtest/gtest.h>

namespace tintrod {
namespace {

struct SlotCase {
  const char* slot;
  int width;  // 0: refused
  int height;
};

TEST(SlotSize, NamesAndSizes) {
  const SlotCase cases[] = {
      {"shaftbmp", 256, 256},
      {"zbshaft", 256, 256},
      {"bumperbmp", 32, 32},
      {"zbrubber", 32, 32},
      {"connectbmp", 128, 128},
      {"33x17", 33, 17},
      {"4096X1", 4096, 1},
      {"1x1", 1, 1},
      {"0x5", 0, 0},
      {"4097x1", 0, 0},
      {"12x", 0, 0},
      {"x12", 0, 0},
      {"+5x5", 0, 0},
      {"5x-5", 0, 0},
      {" 5x5", 0, 0},
      {"5x5x5", 0, 0},
      {"5 x5", 0, 0},
      {"99999999999x1", 0, 0},
      {"SHAFTBMP", 256, 256},
      {"point inlay 3", 256, 256},
      {"", 0, 0},
      {"shaftbnp", 0, 0},
  };
  for (const SlotCase& c : cases) {
    const auto size = slotSize(c.slot);
    if (c.width == 0) {
      EXPECT_FALSE(size) << c.slot;
    } else {
      ASSERT_TRUE(size) << c.slot;
      EXPECT_EQ(size->width, c.width) << c.slot;
      EXPECT_EQ(size->height, c.height) << c.slot;
    }
  }
}

}  // namespace
}  // namespace tintrod
