#include "util/printable_name.h"

#include "os/os.h"

namespace tintrod {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

std::string printableName(std::string_view name) {
  std::string shown;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      shown.push_back(c);
    } else {
      shown += "\\x";
      shown.push_back(kHexDigits[byte >> 4]);
      shown.push_back(kHexDigits[byte & 0xF]);
    }
  }
  return shown;
}

std::string shownLine(std::string_view line) {
  if (!os::standardOutputIsTerminal()) return std::string(line);
  const bool ended = line.ends_with('\n');
  std::string shown = printableName(ended ? line.substr(0, line.size() - 1) : line);
  if (ended) shown.push_back('\n');
  return shown;
}

}  // namespace tintrod
