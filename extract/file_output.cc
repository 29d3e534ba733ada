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

}  // namespace tintrod
