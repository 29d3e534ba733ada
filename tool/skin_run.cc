#include "tool/skin_run.h"

#include <cstdio>

#include "bitmap/validate_bitmap.h"
#include "mip/mip_level.h"
#include "template/open_template.h"
#include "template/skin_slots.h"
#include "tool/load_bitmap.h"
#include "tool/output_file.h"
#include "util/failure.h"

namespace tintrod {

void applySlot(const TextureTable& table, const char* textureName, const std::string& path) {
  std::optional<TextureRecord> record = table.find(textureName);
  if (!record) fail(Failure::kTextureMissing);
  loadBitmapIntoTexture(*record, path);
  buildSmallerLevels(record->pixels(), record->width(), record->height(), record->palette());
}

int runSkinning(std::span<const std::string> arguments, ChunkTableReader& reader) {
  if (arguments.size() != kSkinSlots.size()) fail(Failure::kUsage);
  for (const SkinSlot& slot : kSkinSlots) {
    validateBitmap(slot.width, slot.height, arguments[slot.argumentIndex - 1]);
  }
  // The template stays open to the end: the output is copied from this one
  // opening, never from its name again.
  InputFile templateFile = openTemplate();
  const TextureTable table = loadTextureTable(reader, templateFile);
  for (const SkinSlot& slot : kSkinSlots) {
    applySlot(table, slot.textureName, arguments[slot.argumentIndex - 1]);
  }
  writeSkinnedCopy(table, templateFile);
  std::fputs("Cue Skinning Complete!\n", stdout);
  return 0;
}

}  // namespace tintrod
