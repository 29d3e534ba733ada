#include "template/texture_record.h"

#include <cstring>

#include "util/coding.h"

namespace tintrod {

std::uint16_t TextureRecord::width() const { return decodeFixed16(bytes_ + kRecordWidthOffset); }

std::uint16_t TextureRecord::height() const { return decodeFixed16(bytes_ + kRecordHeightOffset); }

std::string_view TextureRecord::name() const {
  const char* name = reinterpret_cast<const char*>(bytes_ + kRecordNameOffset);
  return {name, strnlen(name, kRecordNameEnd - kRecordNameOffset)};
}

PixelLevel TextureRecord::level(int index) const {
  PixelLevel level{pixels_, width(), height()};
  for (int above = 0; above < index; ++above) {
    if (level.pixels != nullptr) level.pixels += std::int64_t{level.width} * level.height;
    level.width /= 2;
    level.height /= 2;
  }
  return level;
}

}  // namespace tintrod
