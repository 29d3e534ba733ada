#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "bitmap/bitmap_file.h"
#include "bitmap/indexed_bitmap.h"
#include "template/skin_slots.h"
#include "template/texture_record.h"
#include "util/status.h"

namespace tintrod {

// Every slot's bitmap is read as far as the limit of the largest slot (320 KiB),
// so that the nine are judged alike.
inline constexpr std::int64_t kMaxSlotBitmapFileSize = [] {
  std::int64_t largest = 0;
  for (const SkinSlot& slot : kSkinSlots) {
    largest = std::max(largest, maxBitmapFileSize(slot.width, slot.height));
  }
  return largest;
}();

// The bitmap at `path` for a slot of `width` x `height`, read once and
// checked as validation checks it.
Result<IndexedBitmap> readSlotBitmap(std::int32_t width, std::int32_t height,
                                     const std::string& path);

// Replaces the record's palette and level 0 of its pixel block with the
// bitmap's. A record of another size or without pixels refuses it, naming
// `path`, and is left unchanged.
Status loadIntoTexture(TextureRecord& record, const IndexedBitmap& bitmap, const std::string& path);

// Reads the bitmap at `path` once and loads it, as the record's size and a
// loader (never the validation) judge it: any other compression is corrupt.
Status loadBitmapIntoTexture(TextureRecord& record, const std::string& path);

}  // namespace tintrod
