#include "tool/output_file.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "template/format.h"
#include "template/patch_writer.h"
#include "util/failure.h"

namespace tintrod {
namespace fs = std::filesystem;
namespace {

// Created empty with O_EXCL, which never follows a link: whatever already
// stands under the name, a link planted there included, belongs to someone
// else and is neither written through nor removed.
bool claimName(const std::string& path) {
  std::FILE* claimed = std::fopen(path.c_str(), "wbx");
  if (claimed == nullptr) return false;
  std::fclose(claimed);  // nothing was written, so nothing can be lost
  return true;
}

// Overwrites only the empty file that claimName made, never an earlier one.
bool copyTemplateTo(const std::string& path) {
  std::error_code error;
  if (!fs::copy_file(kTemplateFileName, path, fs::copy_options::overwrite_existing, error)) {
    return false;
  }
  // A read-only template must still give a copy that can be patched.
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, error);
  return !error;
}

bool patchFile(const std::string& path, const TextureTable& table) {
  std::FILE* output = std::fopen(path.c_str(), "r+b");
  if (output == nullptr) return false;
  // The writer issues one write per palette and per pixel block; a stream
  // buffer would only copy them once more.
  const bool patched =
      std::setvbuf(output, nullptr, _IONBF, 0) == 0 && patchTextures(output, table);
  const bool closed = std::fclose(output) == 0;
  return patched && closed;
}

// Replaces an existing file; fails on a directory of that name.
bool renameOver(const std::string& from, const std::string& to) {
  std::error_code error;
  fs::rename(from, to, error);
  return !error;
}

}  // namespace

std::string temporaryOutputName() {
  return std::string(kOutputFileName) + "." + std::to_string(getpid()) + ".partial";
}

void writeSkinnedCopy(const TextureTable& table) {
  const std::string temporary = temporaryOutputName();
  if (!claimName(temporary)) fail(Failure::kOutputOpen);
  if (!copyTemplateTo(temporary) || !patchFile(temporary, table) ||
      !renameOver(temporary, kOutputFileName)) {
    // The process ends without unwinding, so the copy is removed here.
    std::error_code ignored;
    fs::remove(temporary, ignored);
    fail(Failure::kOutputOpen);
  }
}

}  // namespace tintrod
