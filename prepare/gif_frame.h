// The first frame of a GIF, the one tintrod-prepare shows, checked without
// drawing it: its compressed codes are followed only to count the pixels
// they stand for.
#pragma once

#include <cstdint>
#include <span>

namespace tintrod {

// True when the first frame's codes cover exactly its pixels. A file cut off
// inside them, or codes that end early, would leave pixels undrawn; codes
// that go on past the frame's last pixel, or clear codes in excess of the
// codes that draw, cost a decoder work that the picture's size does not
// bound (each code it reads spells out a string of up to 4096 pixels).
bool gifFirstFrameComplete(std::span<const std::uint8_t> file);

}  // namespace tintrod
