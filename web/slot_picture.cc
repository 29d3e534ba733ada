#include "web/slot_picture.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "os/os.h"
#include "util/input_file.h"

namespace tintrod::web {
namespace {

// The whole file, or nothing when it cannot be read.
std::optional<std::vector<std::uint8_t>> readWhole(const std::string& path) {
  InputFile file;
  if (!file.open(path)) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.size()));
  if (!file.read(bytes.data(), bytes.size())) return std::nullopt;
  return bytes;
}

bool writeWhole(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  os::NewFile file;
  return file.create(path, os::kNewFilePermissions) && file.append(bytes) && file.publish();
}

}  // namespace

Status prepareSlotPicture(const std::string& path, const SkinSlot& slot,
                          const PrepareOptions& options, const std::string& bitmapPath) {
  const std::optional<std::vector<std::uint8_t>> picture = readWhole(path);
  if (!picture) return Status(Failure::kPictureRead, path);
  const PreparedPicture prepared = preparePicture(*picture, slot.width, slot.height, options);
  if (!prepared.ok()) return Status(prepared.status().failure(), path);
  if (!writeWhole(bitmapPath, *prepared)) return Status(Failure::kFileWrite, bitmapPath);
  return {};
}

}  // namespace tintrod::web
