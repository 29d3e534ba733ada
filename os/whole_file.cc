// Whole-file reads and writes, the same on every system: they use only the
// seam's own calls.
#include <cerrno>
#include <cstdio>
#include <memory>

#include "os/os.h"

namespace tintrod::os {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

SystemStatus readWholeFile(const std::string& path, std::size_t maxSize, LargeBuffer& bytes) {
  SystemResult<OpenedFile> opened = openRegularFile(path);
  if (!opened.ok()) return opened.status();
  const std::unique_ptr<std::FILE, FileCloser> file(opened->file);
  const std::int64_t size = opened->size;
  if (size < 0 || static_cast<std::uint64_t>(size) > maxSize) {
    return SystemStatus(SystemErrorKind::kTooLarge, 0);
  }
  // Every byte is read over, so none is zeroed first: a photo's megabytes
  // would cost a second pass and, on the heap, a page fault every 4 KiB.
  if (!bytes.allocate(static_cast<std::size_t>(size))) {
    return SystemStatus(SystemErrorKind::kTooLarge, 0);
  }
  if (std::fread(bytes.get(), 1, bytes.size(), file.get()) != bytes.size()) {
    // A read error leaves errno; a file cut short since it was opened, nothing.
    const int code = std::ferror(file.get()) != 0 ? errno : 0;
    bytes.release();
    return SystemStatus(SystemErrorKind::kOther, code);
  }
  return {};
}

SystemStatus writeWholeFile(const std::string& path, std::span<const std::uint8_t> bytes,
                            NewFile::Durability durability) {
  NewFile file;
  if (SystemStatus created = file.create(path, kNewFilePermissions); !created.ok()) return created;
  if (SystemStatus written = file.append(bytes); !written.ok()) return written;
  return file.publish(durability);
}

}  // namespace tintrod::os
