#include "template/patch_writer.h"

#include <sys/types.h>

#include <cstdint>

#include "template/format.h"

namespace tintrod {
namespace {

// The palette column, the pixel column's element size word and the count
// word in front of every block: each record's place follows from the table
// in memory, whose words the loader has already checked against the records.
struct PatchLayout {
  std::int64_t paletteColumn = 0;
  std::int64_t firstBlock = 0;  // behind the element size word and the first count word
  std::int64_t end = 0;         // one past the last pixel block
};

PatchLayout layoutOf(const TextureTable& table) {
  const auto count = static_cast<std::int64_t>(table.records.size());
  PatchLayout layout;
  layout.paletteColumn =
      table.tablePos + kTextureTableHeadSize + std::int64_t{kLeadingColumnsWidth} * count;
  const std::int64_t pixelColumn = layout.paletteColumn + std::int64_t{kPaletteSize} * count;
  const std::int64_t elementCounts = pixelColumn + kWordSize;  // behind the element size word
  layout.firstBlock = elementCounts + kWordSize;
  layout.end = elementCounts;
  for (const TextureRecord& record : table.records) {
    layout.end += kWordSize + record.pixelBlockSize();
  }
  return layout;
}

std::int64_t lengthOf(std::FILE* output) {
  if (fseeko(output, 0, SEEK_END) != 0) return -1;
  return static_cast<std::int64_t>(ftello(output));
}

bool seekTo(std::FILE* output, std::int64_t position) {
  return fseeko(output, static_cast<off_t>(position), SEEK_SET) == 0;
}

bool writeAll(std::FILE* output, const std::uint8_t* bytes, std::int64_t length) {
  if (length == 0) return true;
  if (bytes == nullptr) return false;
  const auto count = static_cast<std::size_t>(length);
  return std::fwrite(bytes, 1, count, output) == count;
}

}  // namespace

bool patchTextures(std::FILE* output, const TextureTable& table) {
  // An empty table has no palette column and no element size word: whatever
  // follows its N word belongs to the next chunk, or the file has ended.
  if (table.records.empty()) return true;
  const PatchLayout layout = layoutOf(table);
  // Writing past the end would grow the file instead of failing; an output
  // too short for the table is refused before any byte of it changes.
  if (lengthOf(output) < layout.end) return false;

  // The palettes lie back to back, so one seek serves them all.
  if (!seekTo(output, layout.paletteColumn)) return false;
  for (const TextureRecord& record : table.records) {
    if (!writeAll(output, record.palette(), kPaletteSize)) return false;
  }
  std::int64_t position = layout.firstBlock;
  for (const TextureRecord& record : table.records) {
    const std::int64_t length = record.pixelBlockSize();
    if (!seekTo(output, position) || !writeAll(output, record.pixels(), length)) return false;
    position += length + kWordSize;
  }
  return true;
}

}  // namespace tintrod
