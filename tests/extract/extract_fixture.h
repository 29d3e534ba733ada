// Running tintrod-extract as a process and reading back what it wrote, with a
// decoder of its own rather than the tool's reader.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/scratch.h"
#include "tests/support/template_builder.h"

namespace tintrod::testing {

ProcessResult runExtractor(const std::vector<std::string>& arguments,
                           const std::filesystem::path& workingDirectory);

// A plain 8-bit or 24-bit BMP with the 40-byte info header.
struct DecodedBitmap {
  std::int32_t width = 0;
  std::int32_t height = 0;
  int bitCount = 0;
  Bytes palette;  // 768 bytes, red-green-blue, for 8 bits
  Bytes pixels;   // packed rows in file order: indices, or red-green-blue triples
};

DecodedBitmap decodeBitmap(const Bytes& file);
DecodedBitmap readBitmap(const std::filesystem::path& path);

// The level of a texture's pixel block: (width >> level) x (height >> level)
// indices, laid out behind the levels above it.
Bytes levelOf(const TexturePlan& texture, int level);

}  // namespace tintrod::testing
