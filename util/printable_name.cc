#include "util/printable_name.h"

namespace tintrod {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

std::string printableName(std::string_view name) {
  std::string shown;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
      shown.push_back(c);
    } else {
      shown += "\\x";
      shown.push_back(kHexDigits[byte >> 4]);
      shown.push_back(kHexDigits[byte & 0xF]);
    }
  }
  return shown;
}

}  // namespace tintrod
