#include "template/part_names.h"

#include <string>
#include <utility>
#include <vector>

namespace tintrod {
namespace {

// What people shorten a part's name to, besides its part, slot and texture
// names; the digits of the inlays are kept, as they tell the three apart.
constexpr std::pair<const char*, int> kShortForms[] = {
    {"connect", 1}, {"point 1", 2}, {"inlay 1", 2}, {"point 2", 3}, {"inlay 2", 3},
    {"point 3", 4}, {"inlay 3", 4}, {"linen", 5},   {"rubber", 9},
};

// The word that may join two part names in one file name.
constexpr std::string_view kJoin = "and";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Bytes of UTF-8 letters count as letters, so that "shaftä" is no shaft.
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 0x80; }

char lowered(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Windows users type either separator.
std::string_view fileStem(std::string_view path) {
  const std::size_t folderEnd = path.find_last_of("/\\");
  if (folderEnd != std::string_view::npos) path.remove_prefix(folderEnd + 1);
  const std::size_t dot = path.rfind('.');
  if (dot != std::string_view::npos && dot > 0) path = path.substr(0, dot);
  return path;
}

// Runs of letters and runs of digits, lower-cased; everything else only
// separates. Digits part from letters, so that "shaft2" ends in a number.
std::vector<std::string> wordsOf(std::string_view stem) {
  std::vector<std::string> words;
  std::string word;
  for (const char raw : stem) {
    const char c = lowered(raw);
    const bool fits = !word.empty() && ((isDigit(c) && isDigit(word.back())) ||
                                        (isLetter(c) && isLetter(word.back())));
    if (!fits && !word.empty()) words.push_back(std::exchange(word, {}));
    if (isDigit(c) || isLetter(c)) word += c;
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

std::string joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += word;
  return text;
}

// A copy's name ends in these: "(1)", "copy", "- Copy (2)", "2", "20240131",
// "2024-01-31".
bool isCopyMark(const std::string& word) { return word == "copy" || isDigit(word.front()); }

struct Spelling {
  std::string text;
  const SkinSlot* slot;
};

std::vector<Spelling> spellings() {
  std::vector<Spelling> all;
  const auto add = [&all](std::string_view name, const SkinSlot& slot) {
    all.push_back({joined(wordsOf(name)), &slot});
  };
  for (const SkinSlot& slot : kSkinSlots) {
    add(slot.partName, slot);
    add(slot.argumentName, slot);
    add(slot.textureName, slot);
  }
  for (const auto& [name, argumentIndex] : kShortForms) {
    add(name, kSkinSlots[static_cast<std::size_t>(argumentIndex - 1)]);
  }
  return all;
}

const SkinSlot* spelledExactly(std::string_view text, const std::vector<Spelling>& all) {
  for (const Spelling& spelling : all) {
    if (spelling.text == text) return spelling.slot;
  }
  return nullptr;
}

// Whether `text` from `start` on is part names one after another, each
// perhaps joined by "and"; the parts go to `parts` in order. `dead` marks
// the starts already found to lead nowhere, so that no name costs more than
// its length times the spellings.
bool spellsParts(std::string_view text, std::size_t start, const std::vector<Spelling>& all,
                 std::vector<char>& dead, std::vector<const SkinSlot*>& parts) {
  if (start == text.size()) return true;
  if (dead[start] != 0) return false;
  const std::string_view rest = text.substr(start);
  if (!parts.empty() && rest.starts_with(kJoin) &&
      spellsParts(text, start + kJoin.size(), all, dead, parts)) {
    return true;
  }
  for (const Spelling& spelling : all) {
    if (!rest.starts_with(spelling.text)) continue;
    parts.push_back(spelling.slot);
    if (spellsParts(text, start + spelling.text.size(), all, dead, parts)) return true;
    parts.pop_back();
  }
  dead[start] = 1;
  return false;
}

// Two different parts `text` spells, or none.
NamedParts twoPartsIn(std::string_view text, const std::vector<Spelling>& all) {
  std::vector<char> dead(text.size() + 1, 0);
  std::vector<const SkinSlot*> parts;
  if (!spellsParts(text, 0, all, dead, parts)) return {};
  for (const SkinSlot* part : parts) {
    if (part != parts.front()) return {parts.front(), part};
  }
  return {};
}

}  // namespace

NamedParts partsNamedBy(std::string_view path) {
  const std::vector<Spelling> all = spellings();
  std::vector<std::string> words = wordsOf(fileStem(path));
  // The whole name first, so that the digit of "point 1" is a part's before
  // it is a copy's; then with one copy mark less at a time.
  while (!words.empty()) {
    const std::string text = joined(words);
    if (const SkinSlot* slot = spelledExactly(text, all)) return {slot, nullptr};
    const NamedParts two = twoPartsIn(text, all);
    if (two.second != nullptr) return two;
    if (!isCopyMark(words.back())) break;
    words.pop_back();
  }
  return {};
}

}  // namespace tintrod
