#pragma once

#include <cstdint>
#include <string>

#include "util/status.h"

namespace tintrod {

// Ok when the bitmap at `path` is an 8-bit BMP of the required size whose
// layout fits inside the file, read whole once (at most maxBitmapFileSize of
// that size); otherwise the first failing check, naming `path` as typed.
Status validateBitmap(std::int32_t requiredWidth, std::int32_t requiredHeight,
                      const std::string& path);

}  // namespace tintrod
