#include "template/table_shape.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "template/chunk_table_reader.h"
#include "template/format.h"
#include "util/coding.h"

namespace tintrod {
namespace {

constexpr int kLeadingColumnCount = 4;
constexpr int kPaletteColumn = 4;
constexpr int kPixelColumn = 5;

using LeadingBytes = std::array<std::uint8_t, kLeadingColumnsWidth>;

bool hasTextureColumns(const ChunkTableReader& reader) {
  if (reader.fieldCount() != kTextureColumnCount) return false;
  std::int32_t leadingWidth = 0;
  for (int column = 0; column < kLeadingColumnCount; ++column) {
    const std::int32_t width = reader.fieldSize(column);
    if (width < 0 || width > kLeadingColumnsWidth) return false;
    leadingWidth += width;
  }
  return leadingWidth == kLeadingColumnsWidth && reader.fieldSize(kPaletteColumn) == kPaletteSize &&
         reader.fieldSize(kPixelColumn) == kVariableFieldWidth;
}

// Record bytes 0 to 34 of one record, gathered from the four leading columns
// the way the record builder will lay them out.
LeadingBytes leadingBytes(const ChunkTableReader& reader, std::span<const std::uint8_t> data,
                          std::int64_t record) {
  LeadingBytes bytes{};
  std::int64_t columnStart = 0;
  std::size_t recordOffset = 0;
  for (int column = 0; column < kLeadingColumnCount; ++column) {
    const std::int32_t width = reader.fieldSize(column);
    std::copy_n(data.begin() + columnStart + width * record, width, bytes.begin() + recordOffset);
    columnStart += std::int64_t{width} * reader.recordCount();
    recordOffset += static_cast<std::size_t>(width);
  }
  return bytes;
}

bool hasTerminatedName(const LeadingBytes& bytes) {
  return std::find(bytes.begin() + kRecordNameOffset, bytes.end(), 0) != bytes.end();
}

}  // namespace

bool hasTextureTableShape(const ChunkTableReader& reader) {
  const std::int64_t count = reader.recordCount();
  if (count == 0) return true;
  if (count < 0 || !hasTextureColumns(reader)) return false;

  const std::span<const std::uint8_t> data = reader.columnData();
  const auto dataLength = static_cast<std::int64_t>(data.size());
  std::int64_t position = (kLeadingColumnsWidth + kPaletteSize) * count;
  if (position + kWordSize > dataLength) return false;
  const std::int32_t elementSize = decodeSigned32(&data[position]);
  position += kWordSize;
  // A zero element size would let a nonzero count stand for an empty block.
  if (elementSize < 1) return false;

  for (std::int64_t record = 0; record < count; ++record) {
    const LeadingBytes leading = leadingBytes(reader, data, record);
    if (!hasTerminatedName(leading) || position + kWordSize > dataLength) return false;
    const std::int32_t elementCount = decodeSigned32(&data[position]);
    position += kWordSize;
    const std::int64_t blockLength = pixelBlockLength(decodeFixed16(&leading[kRecordWidthOffset]),
                                                      decodeFixed16(&leading[kRecordHeightOffset]));
    if (elementCount < 0 || std::int64_t{elementCount} * elementSize != blockLength ||
        position + blockLength > dataLength) {
      return false;
    }
    position += blockLength;
  }
  return true;
}

}  // namespace tintrod
