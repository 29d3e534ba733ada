#pragma once

#include <span>
#include <string>

#include "bitmap/indexed_bitmap.h"
#include "template/texture_table.h"
#include "util/status.h"

namespace tintrod {

class ChunkTableReader;

// The whole pass: checks the command line, reads and checks the nine bitmaps, reads
// the template's texture table, applies the nine slots and writes
// "cueNew.obp". `arguments` excludes the program name.
Status runSkinning(std::span<const std::string> arguments, ChunkTableReader& reader);

// Replaces the first texture named `textureName` with `bitmap`, read from
// `path`, and rebuilds its two smaller levels, in the template's memory that
// `table` views.
Status applySlot(TextureTable& table, const char* textureName, const IndexedBitmap& bitmap,
                 const std::string& path);

}  // namespace tintrod
