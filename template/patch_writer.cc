#include "template/patch_writer.h"

#include <sys/types.h>

#include <cstdint>

#include "template/format.h"

namespace tintrod {
namespace {

constexpr int kWordSize = 4;

// Update streams need a positioning call whenever reading and writing take
// turns; seeking by zero is that call and moves nothing.
bool switchDirection(std::FILE* output) { return fseeko(output, 0, SEEK_CUR) == 0; }

// The words between the blocks are read over rather than sought past, so that
// an output shorter than the table it should hold is noticed.
bool readOverWord(std::FILE* output) {
  std::uint8_t ignored[kWordSize];
  return switchDirection(output) && std::fread(ignored, 1, kWordSize, output) == kWordSize &&
         switchDirection(output);
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
  const auto count = static_cast<std::int64_t>(table.records.size());
  const std::int64_t paletteColumn =
      table.tablePos + kTextureTableHeadSize + std::int64_t{kLeadingColumnsWidth} * count;
  if (fseeko(output, static_cast<off_t>(paletteColumn), SEEK_SET) != 0) return false;
  for (const TextureRecord& record : table.records) {
    if (!writeAll(output, record.palette(), kPaletteSize)) return false;
  }
  if (!readOverWord(output)) return false;  // the pixel column's element size
  for (const TextureRecord& record : table.records) {
    if (!readOverWord(output) || !writeAll(output, record.pixels(), record.pixelBlockSize())) {
      return false;
    }
  }
  return true;
}

}  // namespace tintrod
