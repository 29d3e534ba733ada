#include "extract/output_checks.h"

#include <algorithm>
#include <string>
#include <vector>

#include "os/os.h"

namespace tintrod {
namespace {

bool holds(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  os::LargeBuffer content;
  return os::readWholeFile(path, bytes.size(), content).ok() &&
         std::ranges::equal(content.bytes(), bytes);
}

// Names that differ only in ASCII case are one file on the file systems
// most users have. Windows spells planned folders with backslashes, which no
// texture file name holds.
std::string comparable(std::string path) {
  for (char& c : path) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '\\') c = '/';
  }
  return path;
}

}  // namespace

Status checkPlannedFile(PlannedFile& file, std::FILE* model, bool force) {
  const std::string& planned = file.planned;
  if (os::isSameFile(model, planned)) return Status(Failure::kWriteOverModel, file.path);
  // The name itself, not what a link there points to: a link is replaced,
  // never written through.
  switch (os::entryKind(planned)) {
    case os::EntryKind::kNothing:
      return {};
    case os::EntryKind::kFolder:
    case os::EntryKind::kOther:  // a device or a FIFO is never replaced by a file
      return Status(Failure::kFileWrite, file.path);
    case os::EntryKind::kRegularFile: {
      const Result<std::vector<std::uint8_t>> bytes = file.bytes();
      if (!bytes.ok()) return bytes.status();
      if (holds(planned, *bytes)) {
        file.inPlace = true;
        return {};
      }
      break;
    }
    case os::EntryKind::kLink:
      break;
  }
  if (!force) return Status(Failure::kFileExists, file.path);
  return {};
}

Status checkSheetApart(const PlannedFile& sheet, const std::vector<const PlannedFile*>& textures) {
  const std::string planned = comparable(sheet.planned);
  for (const PlannedFile* texture : textures) {
    if (comparable(texture->planned) == planned) {
      return Status(Failure::kSheetOverTexture, sheet.path);
    }
  }
  return {};
}

}  // namespace tintrod
