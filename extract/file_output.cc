#include "extract/file_output.h"

#include "os/os.h"
#include "util/failure_tables.h"

namespace tintrod {

std::string inFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

Status makeFolder(const std::string& folder) {
  if (folder.empty()) return {};
  SystemStatus made = os::makeFolders(folder);
  if (!made.ok()) return failureFor(kExtractFailures, Operation::kMakeFolder, made, folder);
  return {};
}

}  // namespace tintrod
