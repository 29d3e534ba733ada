#include "bitmap/bitmap_file.h"

#include "bitmap/bitmap_headers.h"
#include "util/input_file.h"

namespace tintrod {

Result<BitmapBytes> readBitmapFile(const std::string& path, std::int64_t maxSize) {
  InputFile file;
  if (!file.open(path)) return Status(Failure::kBitmapOpen, path);
  BitmapBytes read;
  read.whole = file.size() <= maxSize;
  read.bytes.resize(read.whole ? static_cast<std::size_t>(file.size()) : kBitmapHeadersSize);
  // A file that shrank since it was opened is judged on what arrived, as a
  // stream reader would have judged it.
  read.bytes.resize(file.readSome(read.bytes.data(), read.bytes.size()));
  return read;
}

}  // namespace tintrod
