// BMP: the 8-bit and other indexed ones (1, 4, 8 bits; OS/2's header; run-
// length rows) read with the project's own bitmap reader, so that the
// programs take every picture tintrod does and read it the same way, with
// every index, listed or not, of a defined colour; true colour and bit fields
// through stb_image once every row is known to be in the file.
#include <algorithm>
#include <optional>
#include <vector>

#include "bitmap/palette_bitmap.h"
#include "picture/formats.h"
#include "picture/stb_pixels.h"
#include "picture/whole_picture.h"
#include "util/coding.h"

namespace tintrod {
namespace {

constexpr std::size_t kOffsetField = 10;
constexpr std::size_t kInfoStart = 14;
constexpr std::size_t kSizeOffset = kInfoStart + 4;
constexpr std::uint32_t kCoreHeaderSize = 12;  // the oldest header, of 16-bit fields
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;

// A BMP of plain rows or bit fields holds all its rows. Run-length streams,
// which only the project's own reader takes, fail it.
bool rowsPresent(std::span<const std::uint8_t> file) {
  constexpr std::size_t kFieldsEnd = kInfoStart + 20;
  if (file.size() < kFieldsEnd) return false;
  const std::uint8_t* info = &file[kInfoStart];
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::int64_t bits = 0;
  std::uint32_t compression = 0;
  if (decodeFixed32(info) == kCoreHeaderSize) {
    width = decodeFixed16(info + 4);
    height = decodeFixed16(info + 6);
    bits = decodeFixed16(info + 10);
  } else {
    width = decodeSigned32(info + 4);
    height = decodeSigned32(info + 8);
    bits = decodeFixed16(info + 14);
    compression = decodeFixed32(info + 16);
  }
  if (compression == kRle8 || compression == kRle4 || width < 0) return false;
  if (height < 0) height = -height;
  const std::int64_t rowLength = (width * bits + 31) / 32 * 4;
  const std::int64_t pixelStart = decodeFixed32(&file[kOffsetField]);
  return pixelStart + rowLength * height <= std::int64_t(file.size());
}

// Rows that end before the picture does, or a run-length stream that ends
// early or runs off the picture, fail as kPictureDecode.
Result<RgbPicture> decodeIndexed(std::span<const std::uint8_t> file, const PaletteLayout& layout) {
  if (!paletteLayoutFitsFile(layout, std::int64_t(file.size()))) {
    return Status(Failure::kPictureDecode);
  }
  std::vector<std::uint8_t> indices(std::size_t(layout.width * layout.height));
  if (!readPaletteIndices(file, layout, indices)) return Status(Failure::kPictureDecode);
  const PaletteColours colours = paletteColours(file, layout);
  RgbPicture picture;
  picture.width = static_cast<int>(layout.width);
  picture.height = static_cast<int>(layout.height);
  picture.channels = PixelBytes(indices.size() * kRgbChannels);
  auto* out = picture.channels.begin();
  for (const std::size_t index : indices) {
    out = std::copy_n(colours.begin() + std::ptrdiff_t(index * kPaletteColourBytes),
                      kPaletteColourBytes, out);
  }
  return picture;
}

class BmpReader final : public WholePictureReader {
 public:
  BmpReader(std::span<const std::uint8_t> file, const PictureInfo& info)
      : WholePictureReader(file, info),
        pixels_{info.width, info.height},
        palette_(paletteLayout(file)) {}

  DecodedPicture decodeWhole(const Colour& background) override {
    if (palette_) return decodeIndexed(file(), *palette_);
    return decodeWithStb(file(), pixels_, background);
  }

 private:
  DecodingCost cost() const override { return stbCost(pixels_); }
  // An indexed BMP's rows are checked as they are read.
  bool complete() const override { return palette_ || rowsPresent(file()); }

  StbPicture pixels_;
  std::optional<PaletteLayout> palette_;
};

}  // namespace

bool isBmpFile(std::span<const std::uint8_t> file) {
  return file.size() >= 2 && file[0] == 'B' && file[1] == 'M';
}

std::unique_ptr<PictureReader> openBmp(std::span<const std::uint8_t> file) {
  if (file.size() < kSizeOffset + 8) return nullptr;
  std::int64_t width = 0;
  std::int64_t height = 0;
  if (decodeFixed32(&file[kInfoStart]) == kCoreHeaderSize) {
    width = decodeFixed16(&file[kSizeOffset]);
    height = decodeFixed16(&file[kSizeOffset + 2]);
  } else {
    width = decodeSigned32(&file[kSizeOffset]);
    height = decodeSigned32(&file[kSizeOffset + 4]);
    if (height < 0) height = -height;
  }
  if (width <= 0 || height <= 0) return nullptr;
  return std::make_unique<BmpReader>(file, PictureInfo{PictureFormat::kBmp, width, height});
}

}  // namespace tintrod
