#include "extract/texture_files.h"

#include "bitmap/bitmap_writer.h"
#include "extract/file_names.h"
#include "extract/file_output.h"

namespace tintrod {
namespace {

bool hasPixels(const PixelLevel& level) {
  return level.pixels != nullptr && level.width > 0 && level.height > 0;
}

Result<std::vector<std::uint8_t>> encodeLevel(const TextureRecord& record, int index,
                                              const std::string& path) {
  const PixelLevel level = record.level(index);
  const std::span<const std::uint8_t, kPaletteSize> palette(record.palette(), kPaletteSize);
  const std::span<const std::uint8_t> indices(
      level.pixels, static_cast<std::size_t>(std::int64_t{level.width} * level.height));
  auto file = encodeIndexedBitmap(level.width, level.height, palette, indices);
  if (!file) return Status(Failure::kFileWrite, path);
  return std::move(*file);
}

}  // namespace

std::vector<PlannedFile> textureFiles(const TextureRecord& record, const std::string& folder,
                                      const std::string& plannedFolder, const std::string& stem) {
  std::vector<PlannedFile> files;
  for (int index = 0; index < kPixelLevelCount; ++index) {
    if (!hasPixels(record.level(index))) continue;
    const std::string name = levelFileName(stem, index);
    std::string path = inFolder(folder, name);
    files.push_back({path, inFolder(plannedFolder, name),
                     [&record, index, path] { return encodeLevel(record, index, path); }});
  }
  return files;
}

}  // namespace tintrod
