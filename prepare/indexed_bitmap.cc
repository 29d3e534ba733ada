#include "prepare/indexed_bitmap.h"

#include <algorithm>
#include <vector>

#include "bitmap/palette_bitmap.h"

namespace tintrod {

std::optional<DecodedPicture> decodeIndexedBitmap(std::span<const std::uint8_t> file) {
  const std::optional<PaletteLayout> layout = paletteLayout(file);
  if (!layout) return std::nullopt;
  if (!paletteLayoutFitsFile(*layout, std::int64_t(file.size()))) {
    return DecodedPicture(Status(Failure::kPictureDecode));
  }
  std::vector<std::uint8_t> indices(std::size_t(layout->width * layout->height));
  if (!readPaletteIndices(file, *layout, indices)) {
    return DecodedPicture(Status(Failure::kPictureDecode));
  }
  const PaletteColours colours = paletteColours(file, *layout);
  RgbPicture picture;
  picture.width = static_cast<int>(layout->width);
  picture.height = static_cast<int>(layout->height);
  picture.channels = PixelBytes(indices.size() * kRgbChannels);
  auto* out = picture.channels.begin();
  for (const std::size_t index : indices) {
    out = std::copy_n(colours.begin() + std::ptrdiff_t(index * kPaletteColourBytes),
                      kPaletteColourBytes, out);
  }
  return DecodedPicture(std::move(picture));
}

}  // namespace tintrod
