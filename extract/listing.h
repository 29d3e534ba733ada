// The table that tintrod-extract prints: one line per texture, in table order.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "template/skin_slots.h"
#include "template/texture_table.h"

namespace tintrod {

// The slot that feeds each record, or null: tintrod fills only the first
// record of a slot's name and carries any later one unchanged.
std::vector<const SkinSlot*> feedingSlots(const TextureTable& table);

std::string listingHeader();
// `fileName` is empty when the texture has no pixels to write.
std::string listingLine(std::size_t index, const TextureRecord& record, const SkinSlot* slot,
                        const std::string& fileName);

// The line above the texture's row on the contact sheet: its name as the
// listing shows it, and the slot that feeds it.
std::string sheetLabel(const TextureRecord& record, const SkinSlot* slot);

}  // namespace tintrod
