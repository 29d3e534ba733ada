// The checks that validation and loading both make, in the same order.
#pragma once

#include <cstdint>
#include <string>

#include "bitmap/bitmap_layout.h"
#include "util/input_file.h"
#include "util/status.h"

namespace tintrod {

struct CheckedBitmap {
  InputFile file;
  BitmapLayout layout;
};

// Opens the bitmap at `path` and checks, in this order, that it opens, is
// `width` x `height`, holds 8-bit indexed rows (else `wrongDepth`) and fits
// inside its file. The first failing check is the result, naming `path`.
Result<CheckedBitmap> openCheckedBitmap(const std::string& path, std::int32_t width,
                                        std::int32_t height, Failure wrongDepth);

}  // namespace tintrod
