#include "bitmap/bitmap_headers.h"

#include <algorithm>
#include <array>

#include "util/coding.h"
#include "util/input_file.h"

namespace tintrod {
namespace {

void decodeFileHeader(BitmapFileHeader& header,
                      std::span<const std::uint8_t, kBitmapFileHeaderSize> bytes) {
  header.bfType = decodeFixed16(bytes.data());
  header.bfSize = decodeFixed32(&bytes[2]);
  header.bfReserved1 = decodeFixed16(&bytes[6]);
  header.bfReserved2 = decodeFixed16(&bytes[8]);
  header.bfOffBits = decodeFixed32(&bytes[10]);
}

void decodeInfoHeader(BitmapInfoHeader& header,
                      std::span<const std::uint8_t, kBitmapInfoHeaderSize> bytes) {
  header.biSize = decodeFixed32(bytes.data());
  header.biWidth = decodeSigned32(&bytes[4]);
  header.biHeight = decodeSigned32(&bytes[8]);
  header.biPlanes = decodeFixed16(&bytes[12]);
  header.biBitCount = decodeFixed16(&bytes[14]);
  header.biCompression = decodeFixed32(&bytes[16]);
  header.biSizeImage = decodeFixed32(&bytes[20]);
  header.biXPelsPerMeter = decodeSigned32(&bytes[24]);
  header.biYPelsPerMeter = decodeSigned32(&bytes[28]);
  header.biClrUsed = decodeFixed32(&bytes[32]);
  if (header.biClrUsed == 0) {
    // A full table for the depth; depths of 32 bits and more have no such
    // count, and only the 8-bit value is ever used.
    header.biClrUsed = header.biBitCount < 32 ? std::uint32_t{1} << header.biBitCount : 0;
  }
  header.biClrImportant = decodeFixed32(&bytes[36]);
}

}  // namespace

void readBitmapFileHeader(BitmapFileHeader& header, InputFile& stream) {
  std::array<std::uint8_t, kBitmapFileHeaderSize> bytes{};
  stream.readSome(bytes.data(), bytes.size());
  decodeFileHeader(header, bytes);
}

void readBitmapInfoHeader(BitmapInfoHeader& header, InputFile& stream) {
  std::array<std::uint8_t, kBitmapInfoHeaderSize> bytes{};
  stream.readSome(bytes.data(), bytes.size());
  decodeInfoHeader(header, bytes);
}

BitmapHeaders readBitmapHeaders(InputFile& stream) {
  BitmapHeaders headers;
  readBitmapFileHeader(headers.file, stream);
  readBitmapInfoHeader(headers.info, stream);
  return headers;
}

BitmapHeaders decodeBitmapHeaders(std::span<const std::uint8_t> file) {
  std::array<std::uint8_t, kBitmapHeadersSize> bytes{};
  std::copy_n(file.begin(), std::min(file.size(), bytes.size()), bytes.begin());
  BitmapHeaders headers;
  decodeFileHeader(headers.file, std::span(bytes).first<kBitmapFileHeaderSize>());
  decodeInfoHeader(headers.info, std::span(bytes).subspan<kBitmapFileHeaderSize>());
  return headers;
}

void encodeBitmapFileHeader(const BitmapFileHeader& header, std::uint8_t* out) {
  encodeFixed16(out, header.bfType);
  encodeFixed32(out + 2, header.bfSize);
  encodeFixed16(out + 6, header.bfReserved1);
  encodeFixed16(out + 8, header.bfReserved2);
  encodeFixed32(out + 10, header.bfOffBits);
}

void encodeBitmapInfoHeader(const BitmapInfoHeader& header, std::uint8_t* out) {
  encodeFixed32(out, header.biSize);
  encodeSigned32(out + 4, header.biWidth);
  encodeSigned32(out + 8, header.biHeight);
  encodeFixed16(out + 12, header.biPlanes);
  encodeFixed16(out + 14, header.biBitCount);
  encodeFixed32(out + 16, header.biCompression);
  encodeFixed32(out + 20, header.biSizeImage);
  encodeSigned32(out + 24, header.biXPelsPerMeter);
  encodeSigned32(out + 28, header.biYPelsPerMeter);
  encodeFixed32(out + 32, header.biClrUsed);
  encodeFixed32(out + 36, header.biClrImportant);
}

}  // namespace tintrod
