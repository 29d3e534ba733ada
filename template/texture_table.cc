#include "template/texture_table.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "template/chunk_table_reader.h"
#include "template/format.h"
#include "template/table_shape.h"
#include "util/coding.h"
#include "util/input_file.h"
#include "util/printable_name.h"

namespace tintrod {
namespace {

// The offset of the first top-level "LTXH" tag. Every other chunk, "END!"
// included, is skipped by its size word; running out of chunks first means
// the template has no texture table.
Result<std::int64_t> findTextureTable(ChunkTableReader& reader, InputFile& stream) {
  char tag[kTagSize + 1] = "    ";
  if (!reader.peekTag(stream, tag)) return Status(Failure::kTemplateCorrupt);
  while (std::memcmp(tag, kTextureTableTag, kTagSize) != 0) {
    const Result<ChunkFound> skipped = reader.skipChunk(stream, tag);
    if (!skipped.ok()) return skipped.status();
    if (*skipped != ChunkFound::kChunk || !reader.peekTag(stream, tag)) {
      return Status(Failure::kTemplateCorrupt);
    }
  }
  return stream.position();
}

}  // namespace

std::optional<TextureRecord> TextureTable::find(std::string_view name) const {
  for (const TextureRecord& record : records) {
    if (record.name() == name) return record;
  }
  return std::nullopt;
}

Result<TextureTable> readTextureTable(ChunkTableReader& reader, InputFile& stream) {
  const Result<std::int64_t> tablePos = findTextureTable(reader, stream);
  if (!tablePos.ok()) return tablePos.status();
  TextureTable table;
  table.tablePos = *tablePos;
  // The shape is checked before anything is built, so nothing of a corrupt
  // table reaches the arena.
  const Result<ChunkFound> found = reader.readTableChunk(stream);
  if (!found.ok()) return found.status();
  if (*found != ChunkFound::kChunk || !hasTextureTableShape(reader)) {
    return Status(Failure::kTemplateCorrupt);
  }
  const Result<BuiltRecords> records = reader.buildRecords(kTextureRecordSize);
  if (!records.ok()) return records.status();
  const BuiltRecords& built = *records;

  table.records.reserve(static_cast<std::size_t>(built.count));
  for (std::int32_t index = 0; index < built.count; ++index) {
    std::uint8_t* bytes = built.records + std::int64_t{index} * kTextureRecordSize;
    table.records.emplace_back(bytes, reader.block(decodeFixed32(bytes + kRecordPixelRefOffset)));
  }
  return table;
}

Result<TextureTable> loadTextureTable(ChunkTableReader& reader, InputFile& stream) {
  Result<TextureTable> table = readTextureTable(reader, stream);
  if (!table.ok()) return table;
  for (const TextureRecord& record : table->records) {
    const std::string line = shownLine("Texture name = " + std::string(record.name()) + "\n");
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return table;
}

}  // namespace tintrod
