#include "prepare/prepare_into.h"

#include <gtest/gtest.h>

#include "tests/support/scratch.h"

namespace tintrod::testing {
namespace {

struct MatchCase {
  std::vector<std::string> pictures;
  std::vector<std::string> arguments;  // the slots matched, in order
  std::string failure;                 // or the line the run stops with
};

TEST(PrepareInto, MatchesPicturesToSlotsByAnyName) {
  const std::string rename =
      " names no part; name it connector, point inlay 1, point inlay 2, point inlay 3, wrap, "
      "butt, ferrule, shaft or bumper (or its slot, as shaftbmp)\n";
  const MatchCase cases[] = {
      {{"pics/shaftbmp.png", "zbRubber.JPG", "C:\\photos\\Point Inlay 1.jpeg", "wrap"},
       {"shaftbmp", "bumperbmp", "pointbmp1", "wrapbmp"},
       ""},
      {{"point 1.jpg", "connect.bmp", "shaft (1).JPG", "inlay 2 copy.png"},
       {"pointbmp1", "connectbmp", "shaftbmp", "pointbmp2"},
       ""},
      {{"ferrule.final.png"}, {}, "picture ferrule.final.png" + rename},
      {{"shaft.jpg", "wrap and butt.jpg"},
       {},
       "picture wrap and butt.jpg names both wrap and butt; name it after one part\n"},
      {{"shaft.jpg", "shaft copy.jpg"},
       {},
       "pictures shaft.jpg and shaft copy.jpg are for the same slot; give it one\n"},
      {{"butt.png", ".png"}, {}, "picture .png" + rename},
      {{"shaft.jpg", "butt.png", "zbshaft.png"},
       {},
       "pictures shaft.jpg and zbshaft.png are for the same slot; give it one\n"},
  };
  for (const MatchCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.pictures));
    std::vector<std::string> arguments;
    const auto failure = failureOf([&] {
      auto matched = matchPicturesToSlots(c.pictures);
      for (const SlotPicture& each : matched.ok() ? *matched : std::vector<SlotPicture>{}) {
        arguments.emplace_back(each.slot->argumentName);
      }
      return matched;
    });
    EXPECT_EQ(failure.value_or(""), c.failure);
    EXPECT_EQ(arguments, c.arguments);
  }
}

TEST(PrepareInto, CommandTakesWhatTheFolderHolds) {
  const std::vector<std::string> given = {"shaft.jpg"};
  const std::vector<SlotPicture> matched = *matchPicturesToSlots(given);
  // As if the folder held an earlier wrap and tintrod-extract's bumper.
  const auto exists = [](const std::string& path) {
    return path.ends_with("wrapbmp.bmp") || path.ends_with("zbrubber.bmp") ||
           path.ends_with("zbshaft.bmp");
  };
  EXPECT_EQ(skinCommand("out", matched, exists),
            "tintrod connectbmp pointbmp1 pointbmp2 pointbmp3 out/wrapbmp.bmp buttbmp ferrulebmp "
            "out/shaftbmp.bmp out/zbrubber.bmp\n");
  EXPECT_EQ(skinCommand("my skins\\", matched, exists),
            "tintrod connectbmp pointbmp1 pointbmp2 pointbmp3 \"my skins\\wrapbmp.bmp\" buttbmp "
            "ferrulebmp \"my skins\\shaftbmp.bmp\" \"my skins\\zbrubber.bmp\"\n");
}

}  // namespace
}  // namespace tintrod::testing
