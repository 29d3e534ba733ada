// An opaque picture between decoding and quantizing: red, green, blue at 16
// bits per channel whatever the file held, so 8-bit and 16-bit pictures take
// one path and an 8-bit picture's values come back exactly.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tintrod {

struct RgbPicture {
  int width = 0;
  int height = 0;
  // 3 channels per pixel, rows top to bottom; an 8-bit value v is v * 257.
  std::vector<std::uint16_t> channels;
};

// Red, green, blue, 8 bits each: a colour as the user names it.
using Colour = std::array<std::uint8_t, 3>;

inline constexpr int kRgbChannels = 3;
inline constexpr std::uint32_t kEightBitTo16 = 257;  // 255 * 257 = 65535

}  // namespace tintrod
