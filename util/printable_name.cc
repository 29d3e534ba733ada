#include "util/printable_name.h"

#include <cstddef>
#include <cstdint>

#include "os/os.h"

namespace tintrod {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::uint8_t byteAt(std::string_view text, std::size_t at) {
  return at < text.size() ? static_cast<std::uint8_t>(text[at]) : 0;
}

bool isContinuation(std::uint8_t byte) { return (byte & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 letter at `at` (no overlong forms, no
// surrogates, nothing past U+10FFFF, no C1 control), or 0.
std::size_t utf8LetterLength(std::string_view text, std::size_t at) {
  const std::uint8_t lead = byteAt(text, at);
  const std::uint8_t second = byteAt(text, at + 1);
  std::size_t length = 0;
  std::uint8_t low = 0x80;
  std::uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    if (lead == 0xC2) low = 0xA0;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (second < low || second > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!isContinuation(byteAt(text, at + i))) return 0;
  }
  return length;
}

}  // namespace

std::string printableName(std::string_view name, Letters letters) {
  std::string shown;
  for (std::size_t at = 0; at < name.size();) {
    const auto byte = static_cast<std::uint8_t>(name[at]);
    if (byte >= 0x20 && byte < 0x7F) {
      shown.push_back(name[at++]);
      continue;
    }
    const std::size_t letter = letters == Letters::kUtf8 ? utf8LetterLength(name, at) : 0;
    if (letter > 0) {
      shown.append(name.substr(at, letter));
      at += letter;
      continue;
    }
    shown += "\\x";
    shown.push_back(kHexDigits[byte >> 4]);
    shown.push_back(kHexDigits[byte & 0xF]);
    ++at;
  }
  return shown;
}

std::string shownLine(std::string_view line) {
  if (!os::standardOutputIsTerminal()) return std::string(line);
  const bool ended = line.ends_with('\n');
  std::string shown = printableName(ended ? line.substr(0, line.size() - 1) : line, Letters::kUtf8);
  if (ended) shown.push_back('\n');
  return shown;
}

}  // namespace tintrod
