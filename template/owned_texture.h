// A texture outside any table, owning its record and its pixel block: what a
// slot's bitmap becomes before there is a model to hold it (the page's
// previews).
#pragma once

#include <cstdint>
#include <vector>

#include "template/texture_record.h"

namespace tintrod {

class OwnedTexture {
 public:
  // A record of this size with a zero palette and zero pixels.
  OwnedTexture(std::uint16_t width, std::uint16_t height);

  // Valid while this texture lives.
  TextureRecord record() { return {bytes_.data(), pixels_.empty() ? nullptr : pixels_.data()}; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::vector<std::uint8_t> pixels_;
};

}  // namespace tintrod
