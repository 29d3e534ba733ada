#include "extract/file_output.h"

#include "os/os.h"
#include "util/failure.h"

namespace tintrod {

void makeFolder(const std::string& folder) {
  if (!folder.empty() && !os::makeFolders(folder)) fail(Failure::kFolderCreate, folder);
}

void writeWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  os::NewFile file;
  // Extracted files can always be made again from the model: flushing each of
  // thousands of them to disk would make a large model's run take minutes.
  if (!file.create(path, os::kNewFilePermissions) || !file.append(bytes) ||
      !file.publish(os::NewFile::Durability::kAtomicOnly)) {
    fail(Failure::kFileWrite, path);
  }
}

}  // namespace tintrod
