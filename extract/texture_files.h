#pragma once

#include <string>

#include "template/texture_record.h"

namespace tintrod {

// Writes the record's levels into `folder` as 8-bit BMP files named by
// levelFileName(stem, level), each with the whole palette and the rows in
// their stored order, so that tintrod takes level 0 back unchanged. A level
// without pixels is skipped. Returns the name of level 0's file, or nothing
// when it was skipped; a failed write ends the run.
std::string writeTextureFiles(const TextureRecord& record, const std::string& folder,
                              const std::string& stem);

}  // namespace tintrod
