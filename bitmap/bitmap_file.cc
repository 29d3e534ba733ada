#include "bitmap/bitmap_file.h"

#include <algorithm>

#include "util/failure_tables.h"
#include "util/input_file.h"

namespace tintrod {

Result<BitmapBytes> readBitmapFile(const std::string& path, std::int64_t maxSize) {
  InputFile file;
  if (SystemStatus opened = file.open(path); !opened.ok()) {
    return failureFor(kSkinFailures, Operation::kReadBitmap, opened, path);
  }
  BitmapBytes read;
  read.bytes.resize(static_cast<std::size_t>(std::min(file.size(), maxSize)));
  // A file that shrank since it was opened is judged on what arrived, as a
  // stream reader would have judged it.
  read.bytes.resize(file.readSome(read.bytes.data(), read.bytes.size()));
  return read;
}

}  // namespace tintrod
