#include "template/texture_table.h"

#include <cstring>

#include "template/chunk_table_reader.h"
#include "template/format.h"
#include "template/table_shape.h"
#include "util/coding.h"
#include "util/input_file.h"

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

// A pointer as const as the records it points into.
template <typename Records>
auto firstNamed(Records& records, std::string_view name) -> decltype(records.data()) {
  for (auto& record : records) {
    if (record.name() == name) return &record;
  }
  return nullptr;
}

}  // namespace

TextureRecord* TextureTable::find(std::string_view name) { return firstNamed(records, name); }

const TextureRecord* TextureTable::find(std::string_view name) const {
  return firstNamed(records, name);
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

}  // namespace tintrod
