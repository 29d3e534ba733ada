#include "extract/file_names.h"

#include "template/texture_record.h"

namespace tintrod {
namespace {

constexpr char kReplacement = '_';
constexpr char kPlaceholder[] = "texture";
constexpr int kFirstSuffix = 2;  // "name", then "name-2"

// Spelled out rather than asked of the locale: the same name must give the
// same file everywhere.
bool isSafe(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-' || c == '+' || c == '.';
}

// Stems hold ASCII only, so this is the whole of case folding for them.
std::string lowerCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

std::string safeStem(std::string_view textureName) {
  std::string stem;
  for (const char c : textureName) stem.push_back(isSafe(c) ? c : kReplacement);
  // A leading dot would hide the file, and "." or ".." would name a folder.
  if (!stem.empty() && stem[0] == '.') stem[0] = kReplacement;
  return stem.empty() ? kPlaceholder : stem;
}

std::string levelFileName(const std::string& stem, int level) {
  return level == 0 ? stem + ".bmp" : stem + ".mip" + std::to_string(level) + ".bmp";
}

std::string FileNamer::claim(std::string_view textureName) {
  const std::string base = safeStem(textureName);
  std::string stem = base;
  // Once a base has been handed out it stays taken, so the next claim of it
  // resumes where the last one stopped: many textures of one name cost a
  // step each, not a step for every earlier one.
  const auto [next, first] = nextSuffix_.try_emplace(lowerCase(base), kFirstSuffix);
  int suffix = next->second;
  if (!first) stem = base + "-" + std::to_string(suffix++);
  while (!isFree(stem)) stem = base + "-" + std::to_string(suffix++);
  next->second = suffix;
  for (int level = 0; level < kPixelLevelCount; ++level) {
    taken_.insert(lowerCase(levelFileName(stem, level)));
  }
  return stem;
}

bool FileNamer::isFree(const std::string& stem) const {
  for (int level = 0; level < kPixelLevelCount; ++level) {
    if (taken_.contains(lowerCase(levelFileName(stem, level)))) return false;
  }
  return true;
}

}  // namespace tintrod
