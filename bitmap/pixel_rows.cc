#include "bitmap/pixel_rows.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "util/coding.h"
#include "util/input_file.h"

namespace tintrod {
namespace {

struct RowFormats {
  std::int32_t dstFormat;
  std::int32_t srcBitCount;
};

bool isSupported(RowFormats formats) {
  switch (formats.srcBitCount) {
    case 8:
      return formats.dstFormat == 8 || formats.dstFormat == 15 || formats.dstFormat == 16;
    case 24:
    case 32:
      return formats.dstFormat == 15 || formats.dstFormat == 16 || formats.dstFormat == 32;
    default:
      return false;
  }
}

std::uint16_t to565(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  return static_cast<std::uint16_t>(((red & 0xF8) << 8) | ((green & 0xFC) << 3) | (blue >> 3));
}

// Bit 15 tells a pixel that is truly black from dark ones whose channels all
// truncate to zero.
std::uint16_t to555(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  const int flag = (blue | green | red) != 0 ? 0x8000 : 0;
  return static_cast<std::uint16_t>(flag | ((red & 0xF8) << 7) | ((green & 0xF8) << 2) |
                                    (blue >> 3));
}

void convertRow(RowFormats formats, const std::uint8_t* source, std::uint8_t* destination,
                std::int32_t width, const std::uint32_t* colorTable) {
  if (formats.srcBitCount == 8) {
    for (std::int32_t j = 0; j < width; ++j) {
      encodeFixed16(destination + 2 * std::int64_t{j},
                    static_cast<std::uint16_t>(colorTable[source[j]]));
    }
    return;
  }
  const int step = formats.srcBitCount / 8;
  for (std::int32_t j = 0; j < width; ++j) {
    const std::uint8_t* pixel = source + std::int64_t{j} * step;
    if (formats.dstFormat == 32) {
      std::memcpy(destination + 4 * std::int64_t{j}, pixel, 3);  // byte 3 is the caller's
    } else if (formats.dstFormat == 16) {
      encodeFixed16(destination + 2 * std::int64_t{j}, to565(pixel[0], pixel[1], pixel[2]));
    } else {
      encodeFixed16(destination + 2 * std::int64_t{j}, to555(pixel[0], pixel[1], pixel[2]));
    }
  }
}

// The bytes of a row that the conversion reads; the rest of the row is its
// tail, skipped in the stream.
std::int64_t rowPixelBytes(std::int32_t srcBitCount, std::int32_t width) {
  return std::int64_t{width} * (srcBitCount / 8);
}

bool parametersAreSound(RowFormats formats, const std::uint8_t* destination, std::int32_t dstStride,
                        std::int32_t srcStride, std::int32_t width,
                        const std::uint32_t* colorTable) {
  if (destination == nullptr || dstStride < 0 || width < 0) return false;
  if (srcStride < rowPixelBytes(formats.srcBitCount, width)) return false;
  const bool needsTable = formats.srcBitCount == 8 && formats.dstFormat != 8;
  return !needsTable || colorTable != nullptr;
}

}  // namespace

bool readPixelRows(std::int32_t dstFormat, std::int32_t srcBitCount, std::uint8_t* destination,
                   std::int32_t dstStride, std::int32_t srcStride, std::int32_t width,
                   std::int32_t rows, InputFile& stream, std::int32_t flip,
                   const std::uint32_t* colorTable) {
  const RowFormats formats{dstFormat, srcBitCount};
  if (!isSupported(formats)) return false;
  if (rows <= 0) return true;
  if (!parametersAreSound(formats, destination, dstStride, srcStride, width, colorTable)) {
    return false;
  }
  // Rows of no bytes neither read nor write; looping over them could only
  // take time.
  if (srcStride == 0) return true;
  const std::int64_t pixelBytes = rowPixelBytes(srcBitCount, width);
  const bool converting = !(dstFormat == 8 && srcBitCount == 8);
  // Only the pixels are buffered, so the buffer is bounded by what the
  // destination row holds, not by a stride that may be far larger.
  std::vector<std::uint8_t> rowBuffer(converting ? static_cast<std::size_t>(pixelBytes) : 0);

  for (std::int32_t i = 0; i < rows; ++i) {
    const std::int64_t slot = flip != 0 ? rows - 1 - i : i;
    std::uint8_t* row = destination + slot * dstStride;
    std::uint8_t* target = converting ? rowBuffer.data() : row;
    const std::size_t got = stream.readSome(target, static_cast<std::size_t>(pixelBytes));
    if (converting) {
      // A short read converts zeros, never the previous row.
      std::fill(rowBuffer.begin() + static_cast<std::ptrdiff_t>(got), rowBuffer.end(), 0);
      convertRow(formats, rowBuffer.data(), row, width, colorTable);
    }
    if (got != static_cast<std::size_t>(pixelBytes)) return false;
    if (!stream.skip(srcStride - pixelBytes)) return false;
  }
  return true;
}

}  // namespace tintrod
