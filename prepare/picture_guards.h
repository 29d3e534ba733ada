// Checks of a picture file for inputs that Debian's stb_image (2.27)
// mishandles; a file that fails one is refused before the decoder sees it.
#pragma once

#include <cstdint>
#include <span>

namespace tintrod {

// stb_image builds a JPEG Huffman table without checking that its sixteen
// code counts sum to at most 256, and a larger sum writes past two of its
// arrays. False when some table in the file has such a sum. Every FF C4
// marker is checked the way the decoder would read it, except inside the
// application and comment segments before the first scan, which the decoder
// skips and which may hold any bytes.
bool jpegHuffmanCountsFit(std::span<const std::uint8_t> file);

}  // namespace tintrod
