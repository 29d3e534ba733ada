// The nine painted regions of the cue, in tintrod's command-line order. A
// header alone, below every folder: every program names the slots, and
// util/failure.cc builds the lines that list them from this table.
// template/skin_slots.h finds one by name.
#pragma once

#include <array>
#include <cstdint>

namespace tintrod {

struct SkinSlot {
  int argumentIndex;         // position on the command line, 1 to 9
  const char* argumentName;  // as the usage line spells it
  std::int32_t width;        // required bitmap size in pixels
  std::int32_t height;
  const char* textureName;  // the template texture the bitmap replaces
  const char* partName;     // the part of the cue it dresses, in plain words
};

inline constexpr std::array<SkinSlot, 9> kSkinSlots = {{
    {1, "connectbmp", 128, 128, "zb1connect", "connector"},
    {2, "pointbmp1", 256, 256, "zb1a_256", "point inlay 1"},
    {3, "pointbmp2", 256, 256, "zb1b_256", "point inlay 2"},
    {4, "pointbmp3", 256, 256, "zb1c_256", "point inlay 3"},
    {5, "wrapbmp", 128, 128, "zblinen", "wrap"},
    {6, "buttbmp", 256, 256, "zb1butt", "butt"},
    {7, "ferrulebmp", 128, 128, "zbferrule", "ferrule"},
    {8, "shaftbmp", 256, 256, "zbshaft", "shaft"},
    {9, "bumperbmp", 32, 32, "zbrubber", "bumper"},
}};

}  // namespace tintrod
