// A JPEG's scans checked against its frame before any decoder sees them: the
// work of decoding grows with the number of scans times the frame's blocks,
// and a decoder fills data that is missing with grey, so a file could cost
// hours or pass cut off.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tintrod {

// Encoders write about ten; each costs a pass over every block it covers.
inline constexpr int kMaxJpegScans = 256;

// False unless the file has one frame, 1 to kMaxJpegScans scans after it, every
// component of the frame in some scan (with its DC coefficients, for a
// DCT-based frame), and its end-of-image marker. A Huffman-coded scan of DC
// coefficients spends at least one bit on each block it covers, so a shorter
// one is refused as well; so is an arithmetic-coded scan without coded data.
bool jpegScansComplete(std::span<const std::uint8_t> file);

// An arithmetic decoder reads zeros past the end of a scan's coded data, and
// encoders leave out the zero bytes that end it, so a cut-off scan decodes as
// one that was meant to end there. What an encoder leaves out is bounded by
// the scan: a few bytes for a run of likely decisions, and a bit a block for
// a refinement of DC coefficients that are all even.
struct JpegCodedDataEnd {
  std::size_t offset = 0;        // in the file, where the scan's marker-free data ends
  std::size_t zerosAllowed = 0;  // past it, before the scan counts as cut off
};

// Each scan's, in file order, for an arithmetic-coded frame; nothing for a
// Huffman-coded one, whose decoder says when its data runs out.
std::vector<JpegCodedDataEnd> arithmeticCodedDataEnds(std::span<const std::uint8_t> file);

}  // namespace tintrod
