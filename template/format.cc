#include "template/format.h"

#include "util/coding.h"
#include "util/input_file.h"

namespace tintrod {

std::uint32_t versionWord(const TemplateHeader& header) {
  return decodeFixed32(header.bytes.data() + kVersionWordOffset);
}

bool isSupportedVersion(std::uint32_t word) {
  return (word >> 16) <= kMaxVersionMajor && (word & 0xFFFF) <= kMaxVersionMinor;
}

bool readSupportedHeader(InputFile& stream) {
  TemplateHeader header;
  return stream.read(header.bytes.data(), header.bytes.size()) &&
         isSupportedVersion(versionWord(header));
}

}  // namespace tintrod
