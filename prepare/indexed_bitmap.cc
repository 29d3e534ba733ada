#include "prepare/indexed_bitmap.h"

#include <algorithm>
#include <array>
#include <vector>

#include "bitmap/bitmap_headers.h"
#include "bitmap/bitmap_layout.h"
#include "bitmap/rle8.h"

namespace tintrod {
namespace {

using RgbTable = std::array<std::uint8_t, kMaxColorTableEntries * kRgbChannels>;

// Entries the file does not list stay black, as tintrod loads them.
RgbTable colorTable(std::span<const std::uint8_t> file, const BitmapLayout& layout) {
  RgbTable table{};
  for (std::int64_t i = 0; i < layout.colorCount; ++i) {
    const std::uint8_t* entry =
        &file[std::size_t(layout.colorTableStart + i * kColorTableEntrySize)];
    for (int c = 0; c < kRgbChannels; ++c) {
      table[std::size_t(i * kRgbChannels + c)] = entry[kRgbChannels - 1 - c];
    }
  }
  return table;
}

// The indices with rows in file order, bottom first, `width` bytes apart.
bool readIndices(std::span<const std::uint8_t> file, const BitmapLayout& layout,
                 std::vector<std::uint8_t>& indices) {
  const auto rows = file.subspan(std::size_t(layout.pixelStart));
  const auto width = static_cast<std::int32_t>(layout.width);
  const auto height = static_cast<std::int32_t>(layout.height);
  if (layout.runLengthEncoded) {
    Rle8Input stream(rows);
    return decodeRle8(stream, width, height, indices.data());
  }
  for (std::int64_t row = 0; row < layout.height; ++row) {
    const auto from = rows.begin() + std::ptrdiff_t(row * layout.rowLength);
    std::copy(from, from + width, indices.begin() + std::ptrdiff_t(row * layout.width));
  }
  return true;
}

}  // namespace

std::optional<DecodedPicture> decodeIndexedBitmap(std::span<const std::uint8_t> file) {
  const BitmapHeaders headers = decodeBitmapHeaders(file);
  if (!hasIndexedRows(headers.info)) return std::nullopt;
  const BitmapLayout layout = bitmapLayout(headers.file, headers.info);
  if (!layoutFitsFile(layout, headers.info, std::int64_t(file.size())) || layout.width == 0 ||
      layout.height == 0) {
    return std::nullopt;
  }
  DecodedPicture decoded;
  std::vector<std::uint8_t> indices(std::size_t(layout.width * layout.height));
  if (!readIndices(file, layout, indices)) {
    decoded.failure = Failure::kPictureDecode;
    return decoded;
  }
  const RgbTable table = colorTable(file, layout);
  RgbPicture& picture = decoded.picture;
  picture.width = static_cast<int>(layout.width);
  picture.height = static_cast<int>(layout.height);
  picture.channels = PixelBytes(indices.size() * kRgbChannels);
  auto* out = picture.channels.begin();
  for (std::int64_t y = layout.height - 1; y >= 0; --y) {
    for (std::int64_t x = 0; x < layout.width; ++x) {
      const std::size_t index = indices[std::size_t(y * layout.width + x)];
      out = std::copy_n(table.begin() + std::ptrdiff_t(index * kRgbChannels), kRgbChannels, out);
    }
  }
  return decoded;
}

}  // namespace tintrod
