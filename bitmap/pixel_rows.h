#pragma once

#include <cstdint>

namespace tintrod {

class InputFile;

// Reads `rows` rows of `srcStride` bytes from `stream`, converts `width`
// pixels of each from `srcBitCount` to `dstFormat`, and stores row i at
// destination byte i * dstStride (or (rows - 1 - i) * dstStride with `flip`).
// The caller guarantees the destination holds (rows - 1) * dstStride bytes plus
// one destination row. Supported: 8 into 8; 8 through `colorTable` into 15 or
// 16; 24 or 32 into 15, 16 or 32. Returns false, having done nothing, for any
// other pair and for parameters no row could satisfy (negative sizes, a
// srcStride shorter than the row's pixels, a missing colour table), and false
// when the stream fell short: that row is converted with zeros for the bytes
// that did not arrive (8 into 8 keeps the old bytes), later rows are left
// untouched. Rows <= 0 read and write nothing and return true.
bool readPixelRows(std::int32_t dstFormat, std::int32_t srcBitCount, std::uint8_t* destination,
                   std::int32_t dstStride, std::int32_t srcStride, std::int32_t width,
                   std::int32_t rows, InputFile& stream, std::int32_t flip,
                   const std::uint32_t* colorTable);

}  // namespace tintrod
