#include "template/skin_slots.h"

#include <string>

namespace tintrod {
namespace {

// File names on Windows ignore case, and people separate words as they like.
std::string looseName(std::string_view name) {
  std::string loose;
  for (const char c : name) {
    if (c == ' ' || c == '-' || c == '_') continue;
    loose += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return loose;
}

}  // namespace

const SkinSlot* skinSlotNamed(std::string_view name) {
  const std::string wanted = looseName(name);
  if (wanted.empty()) return nullptr;
  for (const SkinSlot& slot : kSkinSlots) {
    if (wanted == looseName(slot.argumentName) || wanted == looseName(slot.textureName) ||
        wanted == looseName(slot.partName)) {
      return &slot;
    }
  }
  return nullptr;
}

}  // namespace tintrod
