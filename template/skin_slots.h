// The nine painted regions of the cue, in tintrod's command-line order. Kept
// beside the container format because tintrod-extract names them as well.
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
};

inline constexpr std::array<SkinSlot, 9> kSkinSlots = {{
    {1, "connectbmp", 128, 128, "zb1connect"},
    {2, "pointbmp1", 256, 256, "zb1a_256"},
    {3, "pointbmp2", 256, 256, "zb1b_256"},
    {4, "pointbmp3", 256, 256, "zb1c_256"},
    {5, "wrapbmp", 128, 128, "zblinen"},
    {6, "buttbmp", 256, 256, "zb1butt"},
    {7, "ferrulebmp", 128, 128, "zbferrule"},
    {8, "shaftbmp", 256, 256, "zbshaft"},
    {9, "bumperbmp", 32, 32, "zbrubber"},
}};

}  // namespace tintrod
