// The table that tintrod-extract prints: one line per texture, in table order.
#pragma once

#include <cstddef>
#include <string>

#include "template/skin_slots.h"
#include "template/texture_record.h"

namespace tintrod {

std::string listingHeader();
// `fileName` is empty when the texture has no pixels to write.
std::string listingLine(std::size_t index, const TextureRecord& record, const SkinSlot* slot,
                        const std::string& fileName);

// The line above the texture's row on the contact sheet: its name as the
// listing shows it, and the slot that feeds it.
std::string sheetLabel(const TextureRecord& record, const SkinSlot* slot);

}  // namespace tintrod
