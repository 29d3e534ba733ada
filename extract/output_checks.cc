#include "extract/output_checks.h"

#include <filesystem>
#include <system_error>

#include "os/os.h"
#include "util/failure.h"
#include "util/input_file.h"

namespace tintrod {
namespace {

namespace fs = std::filesystem;

bool holds(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  InputFile file;
  if (!file.open(path) || file.size() != static_cast<std::int64_t>(bytes.size())) return false;
  std::vector<std::uint8_t> content(bytes.size());
  return file.read(content.data(), content.size()) && content == bytes;
}

}  // namespace

void checkPlannedFile(PlannedFile& file, std::FILE* model, bool force) {
  if (os::isSameFile(model, file.path)) fail(Failure::kWriteOverModel, file.path);
  std::error_code error;
  // The name itself, not what a link there points to: a link is replaced,
  // never written through. Spelled as UTF-8, which Windows would otherwise
  // read in its ANSI code page.
  const fs::path name(std::u8string(file.path.begin(), file.path.end()));
  const fs::file_status status = fs::symlink_status(name, error);
  // A name that cannot be looked up (its folder missing) holds nothing yet.
  if (error || status.type() == fs::file_type::not_found) return;
  if (status.type() == fs::file_type::directory) fail(Failure::kFileWrite, file.path);
  if (status.type() == fs::file_type::regular && holds(file.path, file.bytes())) {
    file.inPlace = true;
  } else if (!force) {
    fail(Failure::kFileExists, file.path);
  }
}

}  // namespace tintrod
