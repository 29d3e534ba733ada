#include "extract/file_output.h"

#include "os/os.h"
#include "util/failure.h"

namespace tintrod {

std::string inFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

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
