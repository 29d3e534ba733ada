#include "prepare/slot_size.h"

#include <charconv>

#include "template/skin_slots.h"

namespace tintrod {
namespace {

// Digits only (no sign, no spaces), 1 to kMaxSlotSide.
std::optional<int> side(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || text.front() < '0' || text.front() > '9' || error != std::errc{} ||
      stop != end || value < 1 || value > kMaxSlotSide) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<SlotSize> slotSize(std::string_view slot) {
  if (const SkinSlot* skin = skinSlotNamed(slot)) return SlotSize{skin->width, skin->height};
  const auto separator = slot.find_first_of("xX");
  if (separator == std::string_view::npos) return std::nullopt;
  const auto width = side(slot.substr(0, separator));
  const auto height = side(slot.substr(separator + 1));
  if (!width || !height) return std::nullopt;
  return SlotSize{*width, *height};
}

}  // namespace tintrod
