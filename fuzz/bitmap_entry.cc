#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "bitmap/bitmap_headers.h"
#include "bitmap/validate_bitmap.h"
#include "fuzz/fuzz_entries.h"
#include "fuzz/fuzz_support.h"
#include "mip/mip_level.h"
#include "template/format.h"
#include "tool/load_bitmap.h"
#include "util/coding.h"

namespace tintrod::fuzz {
namespace {

// Larger pictures would only make the harness itself allocate and spend time.
constexpr std::int64_t kMaxArea = std::int64_t{1} << 22;
constexpr std::uint8_t kRecordFiller = 0x33;
constexpr std::uint8_t kPixelFiller = 0x5A;

struct Size {
  std::int32_t width;
  std::int32_t height;
};

// Width and height as the file declares them, missing bytes reading as zero
// the way the header readers treat a short file.
Size declaredSize(const std::uint8_t* data, std::size_t size) {
  std::array<std::uint8_t, kBitmapHeadersSize> head{};
  std::copy_n(data, std::min<std::size_t>(size, head.size()), head.begin());
  constexpr int kWidthOffset = kBitmapFileHeaderSize + 4;
  return {decodeSigned32(&head[kWidthOffset]), decodeSigned32(&head[kWidthOffset + 4])};
}

// A texture record of the given size owning exactly its pixel block, so that
// any access past the block is an overflow the sanitizer reports.
struct Texture {
  Texture(std::uint16_t width, std::uint16_t height)
      : bytes(kTextureRecordSize, kRecordFiller),
        pixels(static_cast<std::size_t>(pixelBlockLength(width, height)), kPixelFiller) {
    encodeFixed16(&bytes[kRecordWidthOffset], width);
    encodeFixed16(&bytes[kRecordHeightOffset], height);
  }
  TextureRecord record() { return {bytes.data(), pixels.empty() ? nullptr : pixels.data()}; }

  std::vector<std::uint8_t> bytes;
  std::vector<std::uint8_t> pixels;
};

bool fitsTexture(std::int32_t width, std::int32_t height) {
  constexpr std::int32_t kMaxSide = std::numeric_limits<std::uint16_t>::max();
  return width >= 0 && height >= 0 && width <= kMaxSide && height <= kMaxSide &&
         std::int64_t{width} * height <= kMaxArea;
}

}  // namespace

void fuzzBitmap(const std::uint8_t* data, std::size_t size) {
  const std::string path = (scratchFolder() / "bitmap.bmp").string();
  testing::writeFile(path, Bytes(data, data + size));
  const Size declared = declaredSize(data, size);
  const std::int32_t width = declared.width;
  const std::int32_t height = declared.height;

  const auto refused = caughtFailureOf([&] { return validateBitmap(width, height, path); });
  if (refused) {
    expectProperty(
        refused->failure == Failure::kBitmapDepth || refused->failure == Failure::kBitmapCorrupt,
        "a bitmap of the declared size is refused only for depth or corruption");
    return;
  }
  if (!fitsTexture(width, height)) return;

  Texture texture(static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height));
  TextureRecord record = texture.record();
  const Texture before = texture;
  const auto failure = caughtFailureOf([&] { return loadBitmapIntoTexture(record, path); });
  if (failure) {
    // Only a texture without pixels can refuse a bitmap that validation passed.
    expectProperty(failure->failure == Failure::kBitmapCorrupt && record.pixels() == nullptr,
                   "a validated bitmap loads into a texture of its size");
    expectProperty(texture.bytes == before.bytes && texture.pixels == before.pixels,
                   "a refused bitmap leaves the texture as it was");
    return;
  }
  buildSmallerLevels(record.pixels(), width, height, record.palette());
}

}  // namespace tintrod::fuzz
