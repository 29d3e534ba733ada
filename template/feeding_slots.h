// Which record of a model's texture table each slot replaces, for the
// programs that show a model's textures with the slots beside them.
#pragma once

#include <vector>

#include "template/skin_slots.h"
#include "template/texture_table.h"

namespace tintrod {

// The slot that feeds each record, or null: tintrod fills only the first
// record of a slot's name and carries any later one unchanged.
std::vector<const SkinSlot*> feedingSlots(const TextureTable& table);

}  // namespace tintrod
