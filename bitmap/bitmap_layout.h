// Where the colour table and the pixel rows of an 8-bit bitmap lie, located
// through the header fields and checked against the file's real length before
// anything is read or allocated from them.
#pragma once

#include <cstdint>

namespace tintrod {

struct BitmapFileHeader;
struct BitmapInfoHeader;

inline constexpr int kBitmapDepth = 8;
inline constexpr std::int64_t kMaxColorTableEntries = 256;  // the size of a texture palette
inline constexpr int kColorTableEntrySize = 4;              // blue, green, red, reserved
inline constexpr int kRowAlignment = 4;

struct BitmapLayout {
  std::int64_t colorTableStart = 0;  // behind the info header, whatever its version
  std::int64_t colorCount = 0;       // entries that reach the palette
  std::int64_t pixelStart = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::int64_t rowLength = 0;  // of a plain 8-bit row, padding included
  bool runLengthEncoded = false;
};

// 8 bits per pixel, plain or run-length encoded: the only rows that hold the
// palette indices of a texture.
bool hasIndexedRows(const BitmapInfoHeader& infoHeader);

BitmapLayout bitmapLayout(const BitmapFileHeader& fileHeader, const BitmapInfoHeader& infoHeader);

// True when the headers, the colour table and, for plain rows, every pixel row
// fit inside a file of `fileSize` bytes. A run-length stream is checked only
// by decoding it.
bool layoutFitsFile(const BitmapLayout& layout, const BitmapInfoHeader& infoHeader,
                    std::int64_t fileSize);

}  // namespace tintrod
