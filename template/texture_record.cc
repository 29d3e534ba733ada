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

}  // namespace tintrod
