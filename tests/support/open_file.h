// A file opened for reading through the seam, as the programs open theirs,
// closed when the test lets go of it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "os/os.h"

namespace tintrod::testing {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using OpenFile = std::unique_ptr<std::FILE, FileCloser>;

// Null when the seam refuses the file; `size`, when given, receives its
// length at opening.
inline OpenFile openForReading(const std::string& path, std::int64_t* size = nullptr) {
  SystemResult<os::OpenedFile> opened = os::openRegularFile(path);
  if (!opened.ok()) return nullptr;
  if (size != nullptr) *size = opened->size;
  return OpenFile(opened->file);
}

}  // namespace tintrod::testing
