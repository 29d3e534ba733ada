#include "extract/texture_files.h"

#include "bitmap/bitmap_writer.h"
#include "extract/file_names.h"
#include "extract/file_output.h"
#include "util/failure.h"

namespace tintrod {
namespace {

bool hasPixels(const PixelLevel& level) {
  return level.pixels != nullptr && level.width > 0 && level.height > 0;
}

void writeLevel(const TextureRecord& record, const PixelLevel& level, const std::string& path) {
  const std::span<const std::uint8_t, kPaletteSize> palette(record.palette(), kPaletteSize);
  const std::span<const std::uint8_t> indices(
      level.pixels, static_cast<std::size_t>(std::int64_t{level.width} * level.height));
  const auto file = encodeIndexedBitmap(level.width, level.height, palette, indices);
  if (!file) fail(Failure::kFileWrite, path);
  writeWholeFile(path, *file);
}

}  // namespace

std::string writeTextureFiles(const TextureRecord& record, const std::string& folder,
                              const std::string& stem) {
  std::string levelZeroName;
  for (int index = 0; index < kPixelLevelCount; ++index) {
    const PixelLevel level = record.level(index);
    if (!hasPixels(level)) continue;
    const std::string name = levelFileName(stem, index);
    writeLevel(record, level, inFolder(folder, name));
    if (index == 0) levelZeroName = name;
  }
  return levelZeroName;
}

}  // namespace tintrod
