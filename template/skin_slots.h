// The nine painted regions of the cue (util/skin_slot_table.h), and the one
// a picture's name stands for.
#pragma once

#include <string_view>

#include "util/skin_slot_table.h"

namespace tintrod {

// The slot a picture's file name stem stands for: its argument name, texture
// name or part name, in any letter case and with spaces, '-' and '_' ignored
// (so "Point-Inlay-1" and "SHAFT" find theirs). Null when none matches.
const SkinSlot* skinSlotNamed(std::string_view name);

}  // namespace tintrod
