// What both systems' seams say of the entry a new file would replace.
#pragma once

#include "os/os.h"
#include "util/status.h"

namespace tintrod::os {

// Only nothing, a regular file or a link is ever replaced by a file.
inline SystemStatus replaceableKind(EntryKind kind) {
  switch (kind) {
    case EntryKind::kNothing:
    case EntryKind::kRegularFile:
    case EntryKind::kLink:
      return {};
    case EntryKind::kFolder:
      return SystemStatus(SystemErrorKind::kFolder, 0);
    case EntryKind::kOther:
      break;
  }
  return SystemStatus(SystemErrorKind::kNotRegularFile, 0);
}

}  // namespace tintrod::os
