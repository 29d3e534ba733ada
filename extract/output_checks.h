// What tintrod-extract checks before it writes anything: it never writes over
// the model it reads, nor over a file the user changed unless told to.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "util/status.h"

namespace tintrod {

// A file the run will write. Its bytes are made when asked, so that a whole
// model's worth of files is never held at once.
struct PlannedFile {
  std::string path;  // as the user typed its folder, for messages and writing
  // Where the file will be once the run has made its folders
  // (os::plannedPath): what the checks look at, since a name through a folder
  // not made yet cannot be looked up as typed.
  std::string planned;
  std::function<Result<std::vector<std::uint8_t>>()> bytes;
  bool inPlace = false;  // the path already holds exactly these bytes
};

// Fails when `file` would be written over the open `model`
// (Failure::kWriteOverModel, even with `force`), over a folder, a device or a
// FIFO (Failure::kFileWrite), or over anything but a regular file holding the same
// bytes unless `force` (Failure::kFileExists). Marks a file already in place.
Status checkPlannedFile(PlannedFile& file, std::FILE* model, bool force);

// Fails with Failure::kSheetOverTexture when the contact sheet would
// take the name of one of the texture files, letter case aside.
Status checkSheetApart(const PlannedFile& sheet, const std::vector<const PlannedFile*>& textures);

}  // namespace tintrod
