// The template builders as tests, fuzz seeds and benchmarks name them, and
// what only they do with them: random textures and damaged files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "builders/template_builder.h"

namespace tintrod::testing {

using Bytes = std::vector<std::uint8_t>;

using builders::appendBytes;
using builders::appendFixed16;
using builders::appendFixed32;
using builders::buildTemplate;
using builders::chunk;
using builders::emptyTableChunk;
using builders::kTextureFieldSizes;
using builders::tableChunk;
using builders::templateHeader;
using builders::textureColumnData;
using builders::TexturePlan;
using builders::textureTableChunk;

// A texture with a deterministic pseudo-random palette and pixel block.
TexturePlan makeTexture(const std::string& name, std::uint16_t width, std::uint16_t height,
                        std::uint32_t seed);

// Overwrites the little-endian word at `offset`, for damaging a built file.
void putWord(Bytes& bytes, std::size_t offset, std::int32_t value);

}  // namespace tintrod::testing
