// The template's texture table as the run uses it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "template/texture_record.h"
#include "util/status.h"

namespace tintrod {

class ChunkTableReader;
class InputFile;

struct TextureTable {
  std::int64_t tablePos = 0;           // file offset of the "LTXH" tag
  std::vector<TextureRecord> records;  // table order; views into the reader's arena

  // The first record, in table order, named `name`; null when none is.
  TextureRecord* find(std::string_view name);
  const TextureRecord* find(std::string_view name) const;
};

// Walks the chunk stream from the stream's position (directly behind the
// header) to the first top-level "LTXH" chunk, verifies its shape and
// materialises it into `reader`'s arena. A template that cannot be walked or
// verified fails with Failure::kTemplateCorrupt.
Result<TextureTable> readTextureTable(ChunkTableReader& reader, InputFile& stream);

}  // namespace tintrod
