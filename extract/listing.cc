#include "extract/listing.h"

#include "util/printable_name.h"

namespace tintrod {
namespace {

constexpr char kNone[] = "-";

constexpr std::size_t kIndexWidth = 3;
constexpr std::size_t kNameWidth = 29;  // the longest name a record holds
constexpr std::size_t kSizeWidth = 11;  // "1024 x 1024"
constexpr std::size_t kSlotWidth = 10;  // "ferrulebmp"
constexpr char kColumnGap[] = "  ";

// Longer text pushes the later columns right, which beats cutting it.
std::string leftAligned(const std::string& text, std::size_t width) {
  return text.size() < width ? text + std::string(width - text.size(), ' ') : text;
}

std::string rightAligned(const std::string& text, std::size_t width) {
  return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

std::string formatRow(const std::string& index, const std::string& name, const std::string& size,
                      const std::string& slot, const std::string& file) {
  return rightAligned(index, kIndexWidth) + kColumnGap + leftAligned(name, kNameWidth) +
         kColumnGap + leftAligned(size, kSizeWidth) + kColumnGap + leftAligned(slot, kSlotWidth) +
         kColumnGap + file + "\n";
}

}  // namespace

std::string listingHeader() { return formatRow("#", "name", "size", "slot", "file"); }

std::string listingLine(std::size_t index, const TextureRecord& record, const SkinSlot* slot,
                        const std::string& fileName) {
  const std::string size = std::to_string(record.width()) + " x " + std::to_string(record.height());
  return formatRow(std::to_string(index), printableName(record.name()), size,
                   slot != nullptr ? slot->argumentName : kNone,
                   fileName.empty() ? kNone : fileName);
}

std::string sheetLabel(const TextureRecord& record, const SkinSlot* slot) {
  const std::string name = printableName(record.name());
  return slot != nullptr ? name + "  (" + slot->argumentName + ")" : name;
}

}  // namespace tintrod
