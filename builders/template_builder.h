// Builds template files byte by byte: the bundled sample's model, and every
// model the tests, fuzz seeds and benchmarks make.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tintrod::builders {

using Bytes = std::vector<std::uint8_t>;

struct TexturePlan {
  std::string name;  // at most 29 bytes
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::uint8_t carried = 0;                 // record byte 4
  std::array<std::uint8_t, 768> palette{};  // red, green, blue per entry
  Bytes pixels;                             // pixelBlockLength(width, height) bytes
};

// The 20-byte header with the given version word.
Bytes templateHeader(std::uint32_t versionWord = 0x00020101);

// One chunk: tag, size word (payload + 4) and payload.
Bytes chunk(const std::string& tag, const Bytes& payload);

// A well-formed "LTXH" chunk holding the textures in order, with leading
// columns 2, 2, 1 and 30 bytes wide.
Bytes textureTableChunk(const std::vector<TexturePlan>& textures);

// The column data of that chunk, in the column sizes beside it.
Bytes textureColumnData(const std::vector<TexturePlan>& textures);
inline const std::vector<std::int32_t> kTextureFieldSizes = {2, 2, 1, 30, 768, -1};

// A table chunk with any N, column sizes and column data; the size word is
// 12 + 4F + data length. Nothing is checked, so it builds malformed tables.
Bytes tableChunk(const std::string& tag, std::int32_t recordCount,
                 const std::vector<std::int32_t>& fieldSizes, const Bytes& columnData);
// A table chunk with N = 0: tag, size word (8 + trailing length), N, trailing.
Bytes emptyTableChunk(const std::string& tag, const Bytes& trailing = {});

// Header followed by the given chunks.
Bytes buildTemplate(const std::vector<Bytes>& chunks, std::uint32_t versionWord = 0x00020101);

// Appends little-endian values.
void appendFixed16(Bytes& out, std::uint16_t value);
void appendFixed32(Bytes& out, std::uint32_t value);
void appendBytes(Bytes& out, const Bytes& more);

}  // namespace tintrod::builders
