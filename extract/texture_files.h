#pragma once

#include <string>
#include <vector>

#include "extract/output_checks.h"
#include "template/texture_record.h"

namespace tintrod {

// The record's levels as files in `folder`, planned in `plannedFolder` (the
// folder's os::plannedPath), named by levelFileName(stem, level): 8-bit BMP files, each with the
// whole palette and the rows in their stored order, so that tintrod takes level 0 back unchanged. A
// level without pixels has no file. The record must outlive the files' bytes.
std::vector<PlannedFile> textureFiles(const TextureRecord& record, const std::string& folder,
                                      const std::string& plannedFolder, const std::string& stem);

}  // namespace tintrod
