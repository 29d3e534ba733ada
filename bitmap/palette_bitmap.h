// Any BMP whose pixels index its colour table, as pictures come from other
// programs: 1, 4 or 8 bits a pixel, under the oldest 12-byte header (3-byte
// table entries) or a later one (4-byte entries), bottom-up or top-down, and
// 8-bit rows plain or run-length encoded. tintrod's textures are the narrower
// kind that bitmap_layout.h describes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "bitmap/bitmap_layout.h"
#include "bitmap/indexed_bitmap.h"

namespace tintrod {

struct PaletteLayout {
  int bitsPerPixel = 0;
  int entrySize = 0;  // bytes of one colour-table entry in the file
  std::int64_t colorTableStart = 0;
  // Entries the file lists: the declared count, but never more than 256 nor
  // more than lie between the headers and the pixels.
  std::int64_t colorCount = 0;
  std::int64_t pixelStart = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;     // positive, whichever the row order
  std::int64_t rowLength = 0;  // of a plain row, padding included
  bool topDown = false;
  bool runLengthEncoded = false;
};

// Nothing for a file of another kind: another depth, compression or header,
// or a negative width.
std::optional<PaletteLayout> paletteLayout(std::span<const std::uint8_t> file);

// The pixels start behind the colour table and inside the file, and plain
// rows end inside it. A run-length stream is checked only by decoding it.
bool paletteLayoutFitsFile(const PaletteLayout& layout, std::int64_t fileSize);

// Every entry of the table, as tintrod loads a texture's.
PaletteColours paletteColours(std::span<const std::uint8_t> file, const PaletteLayout& layout);

// The picture's indices into `indices` (width x height bytes), top row first,
// for a layout that fits its file. False when a run-length stream ends early
// or runs off the picture.
bool readPaletteIndices(std::span<const std::uint8_t> file, const PaletteLayout& layout,
                        std::span<std::uint8_t> indices);

}  // namespace tintrod
