// What tintrod-extract checks before it writes anything: it never writes over
// the model it reads, nor over a file the user changed unless told to.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace tintrod {

// A file the run will write. Its bytes are made when asked, so that a whole
// model's worth of files is never held at once.
struct PlannedFile {
  std::string path;
  std::function<std::vector<std::uint8_t>()> bytes;
  bool inPlace = false;  // the path already holds exactly these bytes
};

// Ends the run when `file` would be written over the open `model`
// (Failure::kWriteOverModel, even with `force`), over a folder
// (Failure::kFileWrite), or over anything but a regular file holding the same
// bytes unless `force` (Failure::kFileExists). Marks a file already in place.
void checkPlannedFile(PlannedFile& file, std::FILE* model, bool force);

}  // namespace tintrod
