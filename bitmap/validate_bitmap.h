#pragma once

#include <cstdint>
#include <string>

namespace tintrod {

// Returns only when the bitmap at `path` is an 8-bit BMP of the required size
// whose layout fits inside the file; otherwise ends the run with the first
// failing check's message, naming `path` as typed.
void validateBitmap(std::int32_t requiredWidth, std::int32_t requiredHeight,
                    const std::string& path);

}  // namespace tintrod
