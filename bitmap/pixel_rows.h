#pragma once

#include <cstdint>

namespace tintrod {

class InputFile;

// Reads `rows` rows of `srcStride` bytes from `stream`, converts `width`
// pixels of each from `srcBitCount` to `dstFormat`, and stores row i at
// destination byte i * dstStride (or (rows - 1 - i) * dstStride with `flip`).
// The caller guarantees the destination holds (rows - 1) * dstStride bytes plus
// one destination row. Returns false when the stream fell short.
bool readPixelRows(std::int32_t dstFormat, std::int32_t srcBitCount, std::uint8_t* destination,
                   std::int32_t dstStride, std::int32_t srcStride, std::int32_t width,
                   std::int32_t rows, InputFile& stream, std::int32_t flip,
                   const std::uint32_t* colorTable);

}  // namespace tintrod
