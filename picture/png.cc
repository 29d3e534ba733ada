// PNG: the signature and IHDR read here, so that the limits and the memory its
// compressed data may inflate to are checked before stb_image decodes it. Its
// decoder refuses a cut-off file itself.
#include <algorithm>
#include <array>

#include "picture/formats.h"
#include "picture/stb_pixels.h"
#include "picture/whole_picture.h"
#include "util/coding.h"

namespace tintrod {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t kTypeOffset = 12;  // of the first chunk, behind its length
constexpr std::size_t kSizeOffset = 16;
constexpr std::size_t kDepthOffset = kSizeOffset + 8;
constexpr std::size_t kInterlaceOffset = kDepthOffset + 4;  // behind compression and filter

// Channels of each colour type (grey, -, RGB, palette, grey and alpha, -,
// RGBA); 0 for types that do not exist.
constexpr std::array<int, 7> kChannels = {1, 0, 3, 1, 2, 0, 4};
constexpr std::uint8_t kPaletteType = 3;

// For an interlaced picture of N bytes a pixel, its inflated rows grown by
// doubling (2N), the pixels (N) and a pass (N / 2), with room for an added
// alpha.
constexpr std::int64_t kWorkPerPixelByte = 4;
constexpr std::int64_t kWorkExtraPerPixel = 4;
constexpr std::int64_t kLeastWorkPerPixel = 8;

class PngReader final : public WholePictureReader {
 public:
  PngReader(std::span<const std::uint8_t> file, const PictureInfo& info, const StbPicture& pixels,
            std::int64_t rowBytes, bool interlaced)
      : WholePictureReader(file, info),
        pixels_(pixels),
        rowBytes_(rowBytes),
        interlaced_(interlaced) {}

  DecodedPicture decodeWhole(const Colour& background) override {
    return decodeWithStb(file(), pixels_, background);
  }

 private:
  // Its compressed data gathered (grown by doubling) while its rows inflate,
  // then the rows while the pixels are made from them (an interlaced
  // picture's passes beside them).
  DecodingCost cost() const override {
    const DecodingCost held = stbCost(pixels_);
    const std::int64_t rows = info().height * rowBytes_;
    const std::int64_t making = rows + stbPixelBytes(pixels_) * (interlaced_ ? 2 : 1);
    const auto fileSize = std::int64_t(file().size());
    return {std::max({2 * fileSize + rows, making, held.peak}), held.decoded};
  }

  // stb_image gathers image data into a buffer it allocates for the first
  // chunk that has some: an empty first one is copied to a null pointer.
  bool complete() const override {
    constexpr std::size_t kChunkHeader = 8;  // length, type
    constexpr std::size_t kChecksum = 4;
    constexpr std::array<std::uint8_t, 4> kDataType = {'I', 'D', 'A', 'T'};
    const std::span<const std::uint8_t> bytes = file();
    for (std::size_t at = kSignature.size(); bytes.size() - at >= kChunkHeader;) {
      const std::uint64_t length = decodeBigEndian32(&bytes[at]);
      if (std::equal(kDataType.begin(), kDataType.end(), bytes.begin() + std::ptrdiff_t(at) + 4)) {
        return length != 0;
      }
      if (length + kChecksum > bytes.size() - at - kChunkHeader) break;
      at += kChunkHeader + std::size_t(length) + kChecksum;
    }
    return true;  // a file cut off is the decoder's to refuse
  }

  StbPicture pixels_;
  std::int64_t rowBytes_;  // inflated, each with its filter byte
  bool interlaced_;
};

}  // namespace

bool isPngFile(std::span<const std::uint8_t> file) {
  return file.size() >= kSignature.size() &&
         std::equal(kSignature.begin(), kSignature.end(), file.begin());
}

std::unique_ptr<PictureReader> openPng(std::span<const std::uint8_t> file) {
  constexpr std::array<std::uint8_t, 4> kHeaderType = {'I', 'H', 'D', 'R'};
  if (file.size() <= kInterlaceOffset ||
      !std::equal(kHeaderType.begin(), kHeaderType.end(), file.begin() + kTypeOffset)) {
    return nullptr;
  }
  const std::int64_t width = decodeBigEndian32(&file[kSizeOffset]);
  const std::int64_t height = decodeBigEndian32(&file[kSizeOffset + 4]);
  if (width <= 0 || height <= 0) return nullptr;
  const std::uint8_t depth = file[kDepthOffset];
  const std::uint8_t colorType = file[kDepthOffset + 1];
  StbPicture pixels{width, height};
  std::int64_t rowBytes = 0;
  bool interlaced = false;
  // An unknown colour type is the library's to refuse; its memory is counted
  // as the largest's.
  if (colorType < kChannels.size()) {
    const int channels = kChannels[colorType];
    const int pixelBytes = channels * (depth == 16 ? 2 : 1);
    rowBytes = 1 + (width * channels * depth + 7) / 8;
    interlaced = file[kInterlaceOffset] != 0;
    pixels.channels = colorType == kPaletteType ? 4 : channels;
    pixels.channelBytes = depth == 16 ? 2 : 1;
    pixels.workPerPixel =
        std::max(kWorkPerPixelByte * pixelBytes + kWorkExtraPerPixel, kLeastWorkPerPixel);
  } else {
    pixels.workPerPixel = kLeastWorkPerPixel;
  }
  return std::make_unique<PngReader>(file, PictureInfo{PictureFormat::kPng, width, height}, pixels,
                                     rowBytes, interlaced);
}

}  // namespace tintrod
