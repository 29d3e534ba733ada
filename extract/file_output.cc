#include "extract/file_output.h"

#include "os/os.h"

namespace tintrod {

std::string inFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

Status makeFolder(const std::string& folder) {
  if (!folder.empty() && !os::makeFolders(folder)) return Status(Failure::kFolderCreate, folder);
  return {};
}

Status writeWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  os::NewFile file;
  // Extracted files can always be made again from the model: flushing each of
  // thousands of them to disk would make a large model's run take minutes.
  if (!file.create(path, os::kNewFilePermissions) || !file.append(bytes) ||
      !file.publish(os::NewFile::Durability::kAtomicOnly)) {
    return Status(Failure::kFileWrite, path);
  }
  return {};
}

}  // namespace tintrod
