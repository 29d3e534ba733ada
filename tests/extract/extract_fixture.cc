#include "tests/extract/extract_fixture.h"

#include <stdexcept>

#include "util/coding.h"

namespace tintrod::testing {
namespace {

constexpr std::size_t kHeadersSize = 54;
constexpr std::size_t kTableSize = 256 * 4;

}  // namespace

ProcessResult runExtractor(const std::vector<std::string>& arguments,
                           const std::filesystem::path& workingDirectory) {
  return runProcess(TINTROD_EXTRACT_BINARY, arguments, workingDirectory);
}

DecodedBitmap decodeBitmap(const Bytes& file) {
  if (file.size() < kHeadersSize || file[0] != 'B' || file[1] != 'M') {
    throw std::runtime_error("not a BMP file");
  }
  DecodedBitmap bitmap;
  const std::size_t pixelStart = decodeFixed32(&file[10]);
  bitmap.width = decodeSigned32(&file[18]);
  bitmap.height = decodeSigned32(&file[22]);
  bitmap.bitCount = decodeFixed16(&file[28]);
  const std::size_t pixelSize = bitmap.bitCount / 8;
  if (bitmap.bitCount == 8) {
    if (file.size() < kHeadersSize + kTableSize) throw std::runtime_error("short colour table");
    for (std::size_t i = 0; i < 256; ++i) {
      const std::uint8_t* entry = &file[kHeadersSize + 4 * i];
      bitmap.palette.insert(bitmap.palette.end(), {entry[2], entry[1], entry[0]});
    }
  }
  const std::size_t rowBytes = bitmap.width * pixelSize;
  const std::size_t stride = (rowBytes + 3) / 4 * 4;
  if (pixelStart + stride * bitmap.height != file.size()) throw std::runtime_error("bad length");
  for (std::int32_t row = 0; row < bitmap.height; ++row) {
    const std::uint8_t* in = &file[pixelStart + stride * row];
    for (std::size_t x = 0; x < rowBytes; x += pixelSize) {
      if (pixelSize == 3) {
        bitmap.pixels.insert(bitmap.pixels.end(), {in[x + 2], in[x + 1], in[x]});
      } else {
        bitmap.pixels.push_back(in[x]);
      }
    }
  }
  return bitmap;
}

DecodedBitmap readBitmap(const std::filesystem::path& path) { return decodeBitmap(readFile(path)); }

Bytes levelOf(const TexturePlan& texture, int level) {
  std::size_t start = 0;
  std::size_t width = texture.width;
  std::size_t height = texture.height;
  for (int above = 0; above < level; ++above) {
    start += width * height;
    width /= 2;
    height /= 2;
  }
  return Bytes(texture.pixels.begin() + static_cast<std::ptrdiff_t>(start),
               texture.pixels.begin() + static_cast<std::ptrdiff_t>(start + width * height));
}

}  // namespace tintrod::testing
