// Whole-file reads and writes, the same on every system: they use only the
// seam's own calls.
#include <cstdio>
#include <memory>

#include "os/os.h"

namespace tintrod::os {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

WholeRead readWholeFile(const std::string& path, std::size_t maxSize,
                        std::vector<std::uint8_t>& bytes) {
  std::int64_t size = 0;
  const std::unique_ptr<std::FILE, FileCloser> file(openRegularFile(path, size));
  if (file == nullptr) return WholeRead::kNotOpened;
  if (size < 0 || static_cast<std::uint64_t>(size) > maxSize) return WholeRead::kTooLarge;
  bytes.resize(static_cast<std::size_t>(size));
  if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    bytes.clear();
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
