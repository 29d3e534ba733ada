// The plain entry-by-entry scan that the fast mip level generator must match
// byte for byte.
#pragma once

#include <cstdint>

namespace tintrod::testing {

// Halves the level at `level` (width x height, rows packed) into the bytes
// directly behind it, scanning the 256 entries of `palette` for every square.
void buildMipLevelReference(std::uint8_t* level, std::int32_t width, std::int32_t height,
                            const std::uint8_t* palette);

}  // namespace tintrod::testing
