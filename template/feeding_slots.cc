#include "template/feeding_slots.h"

#include <cstddef>

namespace tintrod {

std::vector<const SkinSlot*> feedingSlots(const TextureTable& table) {
  std::vector<const SkinSlot*> slots(table.records.size(), nullptr);
  for (const SkinSlot& slot : kSkinSlots) {
    for (std::size_t index = 0; index < table.records.size(); ++index) {
      if (table.records[index].name() == slot.textureName) {
        slots[index] = &slot;
        break;
      }
    }
  }
  return slots;
}

}  // namespace tintrod
