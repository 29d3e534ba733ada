#include "template/patch_writer.h"

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

// Neither a missing block nor a short copy is the system's doing.
SystemStatus notPatchable() { return SystemStatus(SystemErrorKind::kOther, 0); }

SystemStatus writeAt(os::NewFile& output, std::int64_t position, const std::uint8_t* bytes,
                     std::int64_t length) {
  if (length == 0) return {};
  if (bytes == nullptr) return notPatchable();
  return output.writeAt(position, {bytes, static_cast<std::size_t>(length)});
}

}  // namespace

SystemStatus patchTextures(os::NewFile& output, const TextureTable& table) {
  // An empty table has no palette column and no element size word: whatever
  // follows its N word belongs to the next chunk, or the file has ended.
  if (table.records.empty()) return {};
  const PatchLayout layout = layoutOf(table);
  // Writing past the end would grow the file instead of failing; an output
  // too short for the table is refused before any byte of it changes.
  if (output.size() < layout.end) return notPatchable();

  std::int64_t position = layout.paletteColumn;
  for (const TextureRecord& record : table.records) {
    SystemStatus written = writeAt(output, position, record.palette(), kPaletteSize);
    if (!written.ok()) return written;
    position += kPaletteSize;
  }
  position = layout.firstBlock;
  for (const TextureRecord& record : table.records) {
    const std::int64_t length = record.pixelBlockSize();
    SystemStatus written = writeAt(output, position, record.pixels(), length);
    if (!written.ok()) return written;
    position += length + kWordSize;
  }
  return {};
}

}  // namespace tintrod
