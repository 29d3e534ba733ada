#include "tool/load_bitmap.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "bitmap/checked_bitmap.h"
#include "bitmap/pixel_rows.h"
#include "bitmap/rle8.h"
#include "util/input_file.h"

namespace tintrod {
namespace {

using Palette = std::array<std::uint8_t, kPaletteSize>;
// The codec knows nothing of textures; their palettes hold exactly what the
// largest colour table does.
static_assert(kPaletteSize == 3 * kMaxColorTableEntries);

// Entries the file does not list stay black.
bool readPalette(InputFile& file, const BitmapLayout& layout, Palette& palette) {
  std::array<std::uint8_t, kMaxColorTableEntries * kColorTableEntrySize> table{};
  const auto tableBytes = static_cast<std::size_t>(layout.colorCount * kColorTableEntrySize);
  if (!file.seekTo(layout.colorTableStart) || !file.read(table.data(), tableBytes)) return false;
  palette.fill(0);
  for (std::int64_t i = 0; i < layout.colorCount; ++i) {
    const std::uint8_t* entry = &table[i * kColorTableEntrySize];
    palette[3 * i] = entry[2];
    palette[3 * i + 1] = entry[1];
    palette[3 * i + 2] = entry[0];
  }
  return true;
}

// Level 0 is packed: rows are `width` bytes apart, in file order.
bool readLevelZero(InputFile& file, const BitmapLayout& layout, std::vector<std::uint8_t>& level) {
  const auto width = static_cast<std::int32_t>(layout.width);
  const auto height = static_cast<std::int32_t>(layout.height);
  if (!file.seekTo(layout.pixelStart)) return false;
  if (layout.runLengthEncoded) {
    Rle8Input stream(file);
    return decodeRle8(stream, width, height, level.data());
  }
  return readPixelRows(kBitmapDepth, kBitmapDepth, level.data(), width,
                       static_cast<std::int32_t>(layout.rowLength), width, height, file, 0,
                       nullptr);
}

}  // namespace

Status loadBitmapIntoTexture(TextureRecord& record, const std::string& path) {
  // Validation saw this file once, but it may have changed since; nothing
  // unchecked reaches the record.
  Result<CheckedBitmap> checked =
      openCheckedBitmap(path, record.width(), record.height(), Failure::kBitmapCorrupt);
  if (!checked.ok()) return checked.status();
  CheckedBitmap& bitmap = *checked;
  InputFile& file = bitmap.file;
  const BitmapLayout& layout = bitmap.layout;
  // A block, where there is one, holds all three levels of the record's size.
  if (record.pixels() == nullptr) return Status(Failure::kBitmapCorrupt, path);
  const std::int64_t area = layout.width * layout.height;

  // Both parts are read in full before the record is touched, so a failure
  // leaves it as it was. The scratch level is no larger than the record's
  // own block.
  Palette palette{};
  std::vector<std::uint8_t> level(static_cast<std::size_t>(area));
  if (!readPalette(file, layout, palette) || !readLevelZero(file, layout, level)) {
    return Status(Failure::kBitmapCorrupt, path);
  }
  std::copy(palette.begin(), palette.end(), record.palette());
  std::copy(level.begin(), level.end(), record.pixels());
  return {};
}

}  // namespace tintrod
