// A JPEG's scans checked against its frame before any decoder sees them: the
// work of decoding grows with the number of scans times the frame's blocks,
// and a decoder fills data that is missing with grey, so a file could cost
// hours or pass cut off.
#pragma once

#include <cstdint>
#include <span>

namespace tintrod {

// Encoders write about ten; each costs a pass over every block it covers.
inline constexpr int kMaxJpegScans = 256;

// False unless the file has one frame, 1 to kMaxJpegScans scans after it, every
// component of the frame in some scan (with its DC coefficients, for a
// DCT-based frame), and its end-of-image marker. A Huffman-coded scan of DC
// coefficients spends at least one bit on each block it covers, so a shorter
// one is refused as well.
bool jpegScansComplete(std::span<const std::uint8_t> file);

}  // namespace tintrod
