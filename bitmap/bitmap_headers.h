// The two headers at the start of a BMP file, decoded and encoded field by
// field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tintrod {

class InputFile;

inline constexpr int kBitmapFileHeaderSize = 14;
inline constexpr int kBitmapInfoHeaderSize = 40;  // the fields this tool reads
inline constexpr int kBitmapHeadersSize = kBitmapFileHeaderSize + kBitmapInfoHeaderSize;

inline constexpr std::uint32_t kCompressionNone = 0;
inline constexpr std::uint32_t kCompressionRle8 = 1;
inline constexpr std::uint32_t kCompressionRle4 = 2;

// OS/2's oldest info header: 16-bit sides and depth, no colour count, 3-byte
// colour-table entries. Its fields lie elsewhere than BitmapInfoHeader's.
inline constexpr std::uint32_t kCoreInfoHeaderSize = 12;
inline constexpr std::size_t kCoreWidthOffset = kBitmapFileHeaderSize + 4;  // the height follows
inline constexpr std::size_t kCoreBitCountOffset = kBitmapFileHeaderSize + 10;
inline constexpr int kCoreColorTableEntrySize = 3;

struct BitmapFileHeader {
  std::uint16_t bfType = 0;
  std::uint32_t bfSize = 0;
  std::uint16_t bfReserved1 = 0;
  std::uint16_t bfReserved2 = 0;
  std::uint32_t bfOffBits = 0;
};

struct BitmapInfoHeader {
  std::uint32_t biSize = 0;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;
  std::uint16_t biPlanes = 0;
  std::uint16_t biBitCount = 0;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;  // a stored 0 reads back as 2 to the power biBitCount
  std::uint32_t biClrImportant = 0;
};

// Each reads its 14 or 40 bytes; fields that a short file does not supply
// read as zero.
void readBitmapFileHeader(BitmapFileHeader& header, InputFile& stream);
void readBitmapInfoHeader(BitmapInfoHeader& header, InputFile& stream);

struct BitmapHeaders {
  BitmapFileHeader file;
  BitmapInfoHeader info;
};

// Both headers, read from the start of `stream`.
BitmapHeaders readBitmapHeaders(InputFile& stream);

// Both headers of a file held in memory; fields that a short file does not
// supply read as zero.
BitmapHeaders decodeBitmapHeaders(std::span<const std::uint8_t> file);

// The inverses of readBitmapFileHeader and readBitmapInfoHeader: 14 and 40
// bytes at `out`, every field as given (biClrUsed included, so 0 stays 0).
void encodeBitmapFileHeader(const BitmapFileHeader& header, std::uint8_t* out);
void encodeBitmapInfoHeader(const BitmapInfoHeader& header, std::uint8_t* out);

}  // namespace tintrod
