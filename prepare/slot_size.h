// Which size a SLOT argument stands for: one of tintrod's nine slots by any
// name skinSlotNamed takes (`shaftbmp`, `zbshaft`, `shaft`), or any size as `WxH`.
#pragma once

#include <optional>
#include <string_view>

namespace tintrod {

// Sides of a `WxH` slot; far beyond any texture a model holds.
inline constexpr int kMaxSlotSide = 4096;

struct SlotSize {
  int width = 0;
  int height = 0;
};

// Nothing for an unknown name, or a size with a side of 0 or past kMaxSlotSide.
std::optional<SlotSize> slotSize(std::string_view slot);

}  // namespace tintrod
