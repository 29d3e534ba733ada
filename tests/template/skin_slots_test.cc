#include "template/skin_slots.h"

#include <gtest/gtest.h>

#include <string>

#include "template/part_names.h"

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

TEST(PartsNamedBy, NamesPeopleGivePicturesAndTheirCopies) {
  const struct {
    const char* file;
    const char* first;   // null: no part
    const char* second;  // the other part a name names, or null
  } cases[] = {
      {"point 1.jpg", "pointbmp1", nullptr},
      {"point1.jpg", "pointbmp1", nullptr},
      {"Point-2.PNG", "pointbmp2", nullptr},
      {"inlay 1.jpg", "pointbmp1", nullptr},
      {"inlay 2.jpg", "pointbmp2", nullptr},
      {"point inlay 3 (1).jpg", "pointbmp3", nullptr},
      {"connect.jpg", "connectbmp", nullptr},
      {"connect.bmp", "connectbmp", nullptr},
      {"point1.bmp", "pointbmp1", nullptr},
      {"pointbmp1.bmp", "pointbmp1", nullptr},
      {"pointbmp1 (2).bmp", "pointbmp1", nullptr},
      {"connectbmp", "connectbmp", nullptr},
      {"zb1connect.bmp", "connectbmp", nullptr},
      {"zb1a_256.bmp", "pointbmp1", nullptr},
      {"zb1c_256 - Copy.bmp", "pointbmp3", nullptr},
      {"rubber.png", "bumperbmp", nullptr},
      {"shaft (1).jpg", "shaftbmp", nullptr},
      {"shaft copy.jpg", "shaftbmp", nullptr},
      {"shaft copy 2.jpg", "shaftbmp", nullptr},
      {"Shaft - Copy (3).JPG", "shaftbmp", nullptr},
      {"shaft2.jpg", "shaftbmp", nullptr},
      {"shaft 20240131.jpg", "shaftbmp", nullptr},
      {"shaft_2024-01-31.jpg", "shaftbmp", nullptr},
      {"photos/in 2024/butt.jpeg", "buttbmp", nullptr},
      {"C:\\photos\\Wrap.JPG", "wrapbmp", nullptr},
      {"inlay 2 2.jpg", "pointbmp2", nullptr},
      {"wrap and butt.jpg", "wrapbmp", "buttbmp"},
      {"butt+wrap (1).jpg", "buttbmp", "wrapbmp"},
      {"point 1 & point 2.png", "pointbmp1", "pointbmp2"},
      {"shaft and shaft.jpg", nullptr, nullptr},
      {"point.jpg", nullptr, nullptr},
      {"point 12.jpg", nullptr, nullptr},
      {"inlay.jpg", nullptr, nullptr},
      {"my shaft.jpg", nullptr, nullptr},
      {"shafts.jpg", nullptr, nullptr},
      {"shaft\xc3\xa4.jpg", nullptr, nullptr},
      {"ferrule.final.png", nullptr, nullptr},
      {"copy.jpg", nullptr, nullptr},
      {"2024-01-31.jpg", nullptr, nullptr},
      {".jpg", nullptr, nullptr},
      {"", nullptr, nullptr},
  };
  const auto argument = [](const SkinSlot* slot) {
    return std::string(slot != nullptr ? slot->argumentName : "none");
  };
  for (const auto& c : cases) {
    const NamedParts named = partsNamedBy(c.file);
    EXPECT_EQ(argument(named.first), c.first != nullptr ? c.first : "none") << c.file;
    EXPECT_EQ(argument(named.second), c.second != nullptr ? c.second : "none") << c.file;
    EXPECT_EQ(named.part() != nullptr, c.first != nullptr && c.second == nullptr) << c.file;
  }
}

}  // namespace
}  // namespace tintrod
