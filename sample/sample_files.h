// The bundled sample: a synthetic cue model and nine colourful bitmaps, so
// that tintrod can be tried without the game's files. tintrod-sample writes
// them to a folder; the page builds the same bytes in the browser.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tintrod::sample {

// The bitmap file names, in slot order.
inline constexpr std::array<const char*, 9> kBitmapNames = {
    "connect.bmp", "point1.bmp",  "point2.bmp", "point3.bmp", "wrap.bmp",
    "butt.bmp",    "ferrule.bmp", "shaft.bmp",  "bumper.bmp"};

// The model, cueTemplate.obp.
std::vector<std::uint8_t> sampleTemplate();

// The 8-bit bitmap for slot `slot` (0 to 8) at the slot's size.
std::vector<std::uint8_t> slotBitmap(int slot);

}  // namespace tintrod::sample
