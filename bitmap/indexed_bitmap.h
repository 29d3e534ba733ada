// The one decoder of 8-bit indexed rows and colour tables from a file's
// bytes, and the bitmap tintrod takes for a texture: 8 bits a pixel, plain or
// run-length rows, of a required size, checked and decoded from the bytes it
// was read as.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "bitmap/bitmap_file.h"
#include "bitmap/bitmap_layout.h"
#include "util/status.h"

namespace tintrod {

inline constexpr int kPaletteColourBytes = 3;  // red, green, blue

// Every entry of a table, red, green and blue; those the file does not list
// are black, so that no index reads an undefined colour.
using PaletteColours = std::array<std::uint8_t, kMaxColorTableEntries * kPaletteColourBytes>;

// `count` entries (at most 256) of `entrySize` bytes, blue, green and red
// first, from `start`; the caller has checked that they lie inside `file`.
PaletteColours decodeColourTable(std::span<const std::uint8_t> file, std::int64_t start,
                                 std::int64_t count, int entrySize);

// The 8-bit rows into `indices` (width x height bytes), rows in the order the
// file stores them, for a layout that fits its file. False when a run-length
// stream ends early or runs off the picture.
bool decodeIndexedRows(std::span<const std::uint8_t> file, const BitmapLayout& layout,
                       std::span<std::uint8_t> indices);

struct IndexedBitmap {
  std::int32_t width = 0;
  std::int32_t height = 0;
  PaletteColours palette{};
  std::vector<std::uint8_t> indices;  // rows in file order, the bottom one first
};

// Checks, in this order, that the bitmap is `width` x `height`, holds 8-bit
// indexed rows (else `wrongDepth`), was read whole and fits inside its bytes,
// and that a run-length stream decodes. The first failing check is the
// result, naming `path`. Nothing is allocated from the file's fields.
Status checkIndexedBitmap(const BitmapBytes& file, std::int32_t width, std::int32_t height,
                          Failure wrongDepth, const std::string& path);

// The same checks, with the bitmap decoded; its indices take width x height
// bytes, a size the caller chose to hold.
Result<IndexedBitmap> decodeIndexedBitmap(const BitmapBytes& file, std::int32_t width,
                                          std::int32_t height, Failure wrongDepth,
                                          const std::string& path);

}  // namespace tintrod
