#include "web/slot_picture.h"

#include <cstdint>
#include <cstdio>
#include <vector>

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
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

std::optional<std::string> prepareSlotPicture(const std::string& path, const SkinSlot& slot,
                                              const PrepareOptions& options,
                                              const std::string& bitmapPath) {
  const std::optional<std::vector<std::uint8_t>> picture = readWhole(path);
  if (!picture) return failureLine(Failure::kPictureRead, path);
  const PreparedPicture prepared = preparePicture(*picture, slot.width, slot.height, options);
  if (prepared.failure) return failureLine(*prepared.failure, path);
  if (!writeWhole(bitmapPath, prepared.bitmap)) return failureLine(Failure::kFileWrite, bitmapPath);
  return std::nullopt;
}

}  // namespace tintrod::web
