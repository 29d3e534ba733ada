// Sorting 32-bit values by a key a byte at a time: passes from the least
// significant byte to the most order them by the whole key, in time linear in
// the values, where a comparison sort is not.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tintrod::quantize {

// One stable pass: `from` reordered into `to` by the byte that `byteOf` gives
// each value. `to` holds as many values as `from`.
template <typename ByteOf>
void countingPass(std::span<const std::uint32_t> from, std::span<std::uint32_t> to, ByteOf byteOf) {
  std::array<std::uint32_t, 257> start{};
  for (const std::uint32_t value : from) ++start[std::size_t{byteOf(value)} + 1];
  for (std::size_t b = 1; b < start.size(); ++b) start[b] += start[b - 1];
  for (const std::uint32_t value : from) to[start[byteOf(value)]++] = value;
}

}  // namespace tintrod::quantize
