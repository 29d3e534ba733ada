#include "tool/skin_run.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "mip/mip_level.h"
#include "template/open_template.h"
#include "template/skin_slots.h"
#include "tool/load_bitmap.h"
#include "tool/output_file.h"
#include "util/printable_name.h"

namespace tintrod {
namespace {

// Every record's name, in table order, before any slot is applied: a missing
// texture or a bad bitmap still shows what the template holds.
void listTextureNames(const TextureTable& table) {
  for (const TextureRecord& record : table.records) {
    const std::string line = shownLine("Texture name = " + std::string(record.name()) + "\n");
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
}

}  // namespace

Status applySlot(TextureTable& table, const char* textureName, const IndexedBitmap& bitmap,
                 const std::string& path) {
  TextureRecord* record = table.find(textureName);
  if (record == nullptr) return Status(Failure::kTextureMissing);
  Status loaded = loadIntoTexture(*record, bitmap, path);
  if (!loaded.ok()) return loaded;
  buildSmallerLevels(record->pixels(), record->width(), record->height(), record->palette());
  return {};
}

Status runSkinning(std::span<const std::string> arguments, ChunkTableReader& reader) {
  if (arguments.size() != kSkinSlots.size()) return Status(Failure::kUsage);
  // Each bitmap is read once, and what is checked here is what is loaded:
  // a file replaced during the run cannot mix into the output.
  std::vector<IndexedBitmap> bitmaps;
  bitmaps.reserve(kSkinSlots.size());
  for (const SkinSlot& slot : kSkinSlots) {
    Result<IndexedBitmap> bitmap =
        readSlotBitmap(slot.width, slot.height, arguments[slot.argumentIndex - 1]);
    if (!bitmap.ok()) return bitmap.status();
    bitmaps.push_back(*std::move(bitmap));
  }
  // The template stays open to the end: the output is copied from this one
  // opening, never from its name again.
  Result<InputFile> templateFile = openTemplate();
  if (!templateFile.ok()) return templateFile.status();
  Result<TextureTable> table = readTextureTable(reader, *templateFile);
  if (!table.ok()) return table.status();
  listTextureNames(*table);
  for (std::size_t i = 0; i < kSkinSlots.size(); ++i) {
    const SkinSlot& slot = kSkinSlots[i];
    Status applied =
        applySlot(*table, slot.textureName, bitmaps[i], arguments[slot.argumentIndex - 1]);
    if (!applied.ok()) return applied;
  }
  Status written = writeSkinnedCopy(*table, *templateFile);
  if (!written.ok()) return written;
  std::fputs("Cue Skinning Complete!\n", stdout);
  return {};
}

}  // namespace tintrod
