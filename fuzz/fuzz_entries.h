// The bodies of the fuzz targets. Each takes one input of any bytes and
// either returns or aborts on a broken property; the sanitizers catch what
// the properties do not. They back both the libFuzzer binaries and the
// corpus replay in the unit tests.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tintrod::fuzz {

// The bytes as a template: the chunk walk, the table's verification and
// materialisation, then the patch writer over a copy of the bytes.
void fuzzTemplate(const std::uint8_t* data, std::size_t size);

// The bytes as a bitmap, validated against the size it declares, then loaded
// into a texture of that size whose two smaller levels are rebuilt.
void fuzzBitmap(const std::uint8_t* data, std::size_t size);

// A parameter head, then the rows' stream: the pixel row reader with any
// formats, strides, widths, row counts, flip and colour table.
void fuzzPixelRows(const std::uint8_t* data, std::size_t size);

// The whole run in a private folder. The first byte chooses: odd, the rest is
// the template beside nine valid bitmaps; even, the rest is the bitmap of slot
// (byte / 2) % 9 beside a valid template and eight valid bitmaps.
void fuzzRun(const std::uint8_t* data, std::size_t size);

// A parameter byte (fit, dither, one of a few odd slot sizes), then a
// picture file through the whole preparation: decode, fit, quantize, encode.
void fuzzPrepare(const std::uint8_t* data, std::size_t size);

}  // namespace tintrod::fuzz
