// File names for textures whose names come from an untrusted model.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace tintrod {

// The name reduced to letters, digits, '_', '-', '+' and '.', without a
// leading dot, never empty: a single plain entry of the output folder.
std::string safeStem(std::string_view textureName);

// "STEM.bmp" for level 0, "STEM.mip1.bmp" and "STEM.mip2.bmp" after it.
std::string levelFileName(const std::string& stem, int level);

// Hands out stems whose level files clash with no earlier stem's, ignoring
// case, so that no texture overwrites another on any file system.
class FileNamer {
 public:
  std::string claim(std::string_view textureName);

 private:
  bool isFree(const std::string& stem) const;

  std::unordered_set<std::string> taken_;  // lower-cased file names
  // Lower-cased base stem: the suffix its next clash tries first.
  std::unordered_map<std::string, int> nextSuffix_;
};

}  // namespace tintrod
