// TGA: no signature, so a file is one when its header holds a combination of
// types and depths the format allows; every pixel, plain or in run-length
// packets, is known to be in the file before stb_image decodes it.
#include "picture/formats.h"
#include "picture/stb_pixels.h"
#include "picture/whole_picture.h"
#include "util/coding.h"

namespace tintrod {
namespace {

constexpr std::size_t kHeaderSize = 18;
constexpr std::uint8_t kRunLengthTypes = 8;  // types 9 to 11 hold packets
constexpr std::uint8_t kRepeatPacket = 0x80;

std::int64_t bytesOf(std::int64_t bits) { return (bits + 7) / 8; }

// Packets run on across rows; each is a count byte and one pixel to repeat,
// or the count's pixels themselves.
bool packetsCover(std::span<const std::uint8_t> file, std::size_t at, std::int64_t pixels,
                  std::int64_t pixelBytes) {
  std::int64_t covered = 0;
  while (covered < pixels) {
    if (at >= file.size()) return false;
    const std::uint8_t packet = file[at++];
    const std::int64_t count = (packet & ~kRepeatPacket) + 1;
    const std::int64_t bytes = (packet & kRepeatPacket) != 0 ? pixelBytes : count * pixelBytes;
    if (std::int64_t(file.size() - at) < bytes) return false;
    at += std::size_t(bytes);
    covered += count;
  }
  return true;
}

bool pixelsPresent(std::span<const std::uint8_t> file) {
  const bool mapped = file[1] == 1;
  const std::int64_t mapStart = decodeFixed16(&file[3]);  // entries the decoder skips
  const std::int64_t mapEntries = decodeFixed16(&file[5]);
  const std::int64_t mapBytes = mapped ? mapStart + mapEntries * bytesOf(file[7]) : 0;
  const std::int64_t pixels = std::int64_t{decodeFixed16(&file[12])} * decodeFixed16(&file[14]);
  const std::int64_t pixelBytes = bytesOf(file[16]);
  const std::int64_t start = std::int64_t{kHeaderSize} + file[0] + mapBytes;
  if (start > std::int64_t(file.size())) return false;
  if (file[2] > kRunLengthTypes) return packetsCover(file, std::size_t(start), pixels, pixelBytes);
  return start + pixels * pixelBytes <= std::int64_t(file.size());
}

bool validHeader(std::span<const std::uint8_t> file) {
  const std::uint8_t mapType = file[1];
  const std::uint8_t imageType = file[2];
  const std::uint8_t mapBits = file[7];
  const std::uint8_t pixelBits = file[16];
  const bool mapped = imageType == 1 || imageType == 9;
  const bool direct = imageType == 2 || imageType == 3 || imageType == 10 || imageType == 11;
  const bool mapBitsValid =
      mapBits == 8 || mapBits == 15 || mapBits == 16 || mapBits == 24 || mapBits == 32;
  return mapped ? mapType == 1 && mapBitsValid && (pixelBits == 8 || pixelBits == 16)
                : direct && mapType == 0 &&
                      (pixelBits == 8 || pixelBits == 15 || pixelBits == 16 || pixelBits == 24 ||
                       pixelBits == 32);
}

class TgaReader final : public WholePictureReader {
 public:
  TgaReader(std::span<const std::uint8_t> file, const PictureInfo& info)
      : WholePictureReader(file, info), pixels_{info.width, info.height} {}

  DecodedPicture decodeWhole(const Colour& background) override {
    return decodeWithStb(file(), pixels_, background);
  }

 private:
  DecodingCost cost() const override { return stbCost(pixels_); }
  bool complete() const override { return pixelsPresent(file()); }

  StbPicture pixels_;
};

}  // namespace

std::unique_ptr<PictureReader> openTga(std::span<const std::uint8_t> file) {
  if (file.size() < kHeaderSize || !validHeader(file)) return nullptr;
  const std::int64_t width = decodeFixed16(&file[12]);
  const std::int64_t height = decodeFixed16(&file[14]);
  if (width <= 0 || height <= 0) return nullptr;
  return std::make_unique<TgaReader>(file, PictureInfo{PictureFormat::kTga, width, height});
}

}  // namespace tintrod
