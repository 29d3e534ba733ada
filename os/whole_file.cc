// Whole-file reads and writes, the same on every system: they use only the
// seam's own calls.
#include <cstdio>
#include <memory>
#include <new>

#include "os/os.h"

namespace tintrod::os {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

WholeRead readWholeFile(const std::string& path, std::size_t maxSize, LargeBuffer& bytes) {
  std::int64_t size = 0;
  const std::unique_ptr<std::FILE, FileCloser> file(openRegularFile(path, size));
  if (file == nullptr) return WholeRead::kNotOpened;
  if (size < 0 || static_cast<std::uint64_t>(size) > maxSize) return WholeRead::kTooLarge;
  // Every byte is read over, so none is zeroed first: a photo's megabytes
  // would cost a second pass and, on the heap, a page fault every 4 KiB.
  if (!bytes.allocate(static_cast<std::size_t>(size))) throw std::bad_alloc();
  if (std::fread(bytes.get(), 1, bytes.size(), file.get()) != bytes.size()) {
    bytes.release();
    return WholeRead::kShort;
  }
  return WholeRead::kRead;
}

bool writeWholeFile(const std::string& path, std::span<const std::uint8_t> bytes,
                    NewFile::Durability durability) {
  NewFile file;
  return file.create(path, kNewFilePermissions) && file.append(bytes) && file.publish(durability);
}

}  // namespace tintrod::os
