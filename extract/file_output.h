#pragma once

#include <string>

#include "util/status.h"

namespace tintrod {

// `name` inside `folder` (empty: the current folder). Joined as UTF-8 text:
// std::filesystem::path would pass it through the ANSI code page on Windows.
std::string inFolder(const std::string& folder, const std::string& name);

// Creates `folder` and its parents unless they exist; fails with
// Failure::kFolderCreate when it is not a folder afterwards. An empty name is
// the current folder.
Status makeFolder(const std::string& folder);

}  // namespace tintrod
