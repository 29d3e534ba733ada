#include "template/skin_slots.h"

#include <gtest/gtest.h>

namespace tintrod {
namespace {

TEST(SkinSlotNamed, ArgumentTextureOrPartInAnySpelling) {
  const struct {
    const char* name;
    const char* argument;  // null: no slot
  } cases[] = {
      {"shaftbmp", "shaftbmp"},
      {"zbshaft", "shaftbmp"},
      {"shaft", "shaftbmp"},
      {"SHAFT", "shaftbmp"},
      {"zb1a_256", "pointbmp1"},
      {"ZB1A256", "pointbmp1"},
      {"point inlay 3", "pointbmp3"},
      {"Point-Inlay_2", "pointbmp2"},
      {"bumper", "bumperbmp"},
      {"zbrubber", "bumperbmp"},
      {"connector", "connectbmp"},
      {"", nullptr},
      {" - ", nullptr},
      {"shafts", nullptr},
      {"point inlay", nullptr},
      {"zbshaft.bmp", nullptr},
  };
  for (const auto& c : cases) {
    const SkinSlot* slot = skinSlotNamed(c.name);
    if (c.argument == nullptr) {
      EXPECT_EQ(slot, nullptr) << c.name;
    } else {
      ASSERT_NE(slot, nullptr) << c.name;
      EXPECT_STREQ(slot->argumentName, c.argument) << c.name;
    }
  }
}

}  // namespace
}  // namespace tintrod
