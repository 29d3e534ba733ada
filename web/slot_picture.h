// A picture that the skinning pass does not take as it is, turned into one it
// does, the way tintrod-prepare turns it.
#pragma once

#include <string>

#include "prepare/prepare_picture.h"
#include "template/skin_slots.h"
#include "util/status.h"

namespace tintrod::web {

// Reads the picture at `path`, prepares it for `slot` and writes the 8-bit
// bitmap to `bitmapPath`. A failure names `path`.
Status prepareSlotPicture(const std::string& path, const SkinSlot& slot,
                          const PrepareOptions& options, const std::string& bitmapPath);

}  // namespace tintrod::web
