// BMP: the 8-bit and other indexed ones (1, 4, 8 bits; OS/2's header; run-
// length rows) read with the project's own bitmap reader, so that the
// programs take every picture tintrod does and read it the same way, with
// every index, listed or not, of a defined colour; true colour and bit fields
// through stb_image once every row is known to be in the file.
#include <algorithm>
#include <optional>
#include <vector>

#include "bitmap/bitmap_headers.h"
#include "bitmap/palette_bitmap.h"
#include "picture/formats.h"
#include "picture/stb_pixels.h"
#include "picture/whole_picture.h"
#include "util/coding.h"

namespace tintrod {
namespace {

struct DeclaredRows {
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative for rows stored top-down
  std::int64_t bits = 0;
  std::uint32_t compression = kCompressionNone;
};

// What either kind of info header declares, for a file that holds its fields.
DeclaredRows declaredRows(std::span<const std::uint8_t> file, const BitmapHeaders& headers) {
  if (headers.info.biSize == kCoreInfoHeaderSize) {
    return {decodeFixed16(&file[kCoreWidthOffset]), decodeFixed16(&file[kCoreWidthOffset + 2]),
            decodeFixed16(&file[kCoreBitCountOffset]), kCompressionNone};
  }
  return {headers.info.biWidth, headers.info.biHeight, headers.info.biBitCount,
          headers.info.biCompression};
}

// A BMP of plain rows or bit fields holds all its rows. Run-length streams,
// which only the project's own reader takes, fail it.
bool rowsPresent(std::span<const std::uint8_t> file) {
  constexpr std::size_t kCompressionEnd = kBitmapFileHeaderSize + 20;
  if (file.size() < kCompressionEnd) return false;
  const BitmapHeaders headers = decodeBitmapHeaders(file);
  DeclaredRows rows = declaredRows(file, headers);
  if (rows.compression == kCompressionRle8 || rows.compression == kCompressionRle4 ||
      rows.width < 0) {
    return false;
  }
  if (rows.height < 0) rows.height = -rows.height;
  const std::int64_t rowLength = (rows.width * rows.bits + 31) / 32 * 4;
  const std::int64_t pixelStart = headers.file.bfOffBits;
  return pixelStart + rowLength * rows.height <= std::int64_t(file.size());
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
  constexpr std::size_t kSidesEnd = kBitmapFileHeaderSize + 12;
  if (file.size() < kSidesEnd) return nullptr;
  const DeclaredRows rows = declaredRows(file, decodeBitmapHeaders(file));
  const std::int64_t width = rows.width;
  const std::int64_t height = rows.height < 0 ? -rows.height : rows.height;
  if (width <= 0 || height <= 0) return nullptr;
  return std::make_unique<BmpReader>(file, PictureInfo{PictureFormat::kBmp, width, height});
}

}  // namespace tintrod
