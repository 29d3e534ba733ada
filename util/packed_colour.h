// A colour as 0x00RRGGBB: one register to pass, one compare to tell apart,
// and ordering colours is ordering integers.
#pragma once

#include <cstdint>

namespace tintrod {

using PackedColour = std::uint32_t;

constexpr PackedColour packColour(int red, int green, int blue) {
  return static_cast<PackedColour>(red << 16 | green << 8 | blue);
}

// Channel 0 is red, 1 green, 2 blue, the order of a palette's bytes.
constexpr int channelOf(PackedColour colour, int channel) {
  return static_cast<int>(colour >> (16 - 8 * channel) & 0xFF);
}

constexpr int redOf(PackedColour colour) { return channelOf(colour, 0); }
constexpr int greenOf(PackedColour colour) { return channelOf(colour, 1); }
constexpr int blueOf(PackedColour colour) { return channelOf(colour, 2); }

}  // namespace tintrod
