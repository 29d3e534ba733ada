#include "picture/stb_pixels.h"

#include <stb/stb_image.h>

#include <new>

#include "picture/composite.h"
#include "picture/decoder_memory.h"

namespace tintrod {
namespace {

constexpr int kRgbaChannels = 4;
constexpr std::uint32_t kMax8 = 255;
constexpr std::uint32_t kMax16 = 65535;

// Sides rounded up to whole units of the largest format's blocks, and the
// library's tables, on top of its work a pixel.
constexpr std::int64_t kSidePadding = 32;
constexpr std::int64_t kFixedBytes = std::int64_t{1} << 20;

void freeDecoded(void* pixels) { stbi_image_free(pixels); }

// What the library may hold for the picture: a copy of the file (a PNG's
// compressed data gathered, grown by doubling) and its work on every pixel.
std::int64_t libraryNeed(std::size_t fileSize, const StbPicture& picture) {
  const std::int64_t pixels = (picture.width + kSidePadding) * (picture.height + kSidePadding);
  return 2 * std::int64_t(fileSize) + picture.workPerPixel * pixels + kFixedBytes;
}

// The decoder's buffer becomes the picture where it holds 3 bytes a pixel or
// more; a grey one is widened into a buffer of its own.
RgbPicture opaqueRgb(void* pixels, int width, int height, int channels, bool sixteenBits,
                     const Colour& background) {
  const std::size_t count = std::size_t(width) * std::size_t(height);
  RgbPicture picture;
  picture.width = width;
  picture.height = height;
  if (channels >= kRgbChannels) {
    picture.channels =
        PixelBytes::adopt(static_cast<std::uint8_t*>(pixels), count * kRgbChannels, freeDecoded);
  } else {
    picture.channels = PixelBytes(count * kRgbChannels);
  }
  if (channels == kRgbChannels && !sixteenBits) return picture;
  if (sixteenBits) {
    compositeOver<std::uint16_t, kMax16>(background, static_cast<const std::uint16_t*>(pixels),
                                         channels, count, picture.channels.data());
  } else {
    compositeOver<std::uint8_t, kMax8>(background, static_cast<const std::uint8_t*>(pixels),
                                       channels, count, picture.channels.data());
  }
  if (channels < kRgbChannels) freeDecoded(pixels);
  return picture;
}

}  // namespace

std::int64_t stbPixelBytes(const StbPicture& picture) {
  return picture.width * picture.height * picture.channels * picture.channelBytes;
}

std::int64_t stbWidenedBytes(const StbPicture& picture) {
  return picture.channels < kRgbChannels ? picture.width * picture.height * kRgbChannels : 0;
}

DecodingCost stbCost(const StbPicture& picture) {
  const std::int64_t held = stbPixelBytes(picture) + stbWidenedBytes(picture);
  return {held, held};
}

Result<RgbPicture> decodeWithStb(std::span<const std::uint8_t> file, const StbPicture& picture,
                                 const Colour& background) {
  const auto length = static_cast<int>(file.size());
  int width = 0;
  int height = 0;
  int channels = 0;  // the file's own: fewer than four take less memory
  const bool sixteenBits = stbi_is_16_bit_from_memory(file.data(), length) != 0;
  const DecoderAllowance allowance =
      decoderAllowance(file.size(), libraryNeed(file.size(), picture), stbWidenedBytes(picture));
  DecoderMemoryBudget budget(allowance.bytes);
  void* pixels = sixteenBits ? static_cast<void*>(stbi_load_16_from_memory(
                                   file.data(), length, &width, &height, &channels, 0))
                             : static_cast<void*>(stbi_load_from_memory(file.data(), length, &width,
                                                                        &height, &channels, 0));
  if (pixels == nullptr) {
    const bool tooLarge = budget.exhausted() || (budget.exceeded() && allowance.setByLimit);
    return Status(tooLarge ? Failure::kPictureTooLarge : Failure::kPictureDecode);
  }
  // The decoder reports the size it decoded; trust nothing it did not check.
  if (width != picture.width || height != picture.height || channels < 1 ||
      channels > kRgbaChannels) {
    freeDecoded(pixels);
    return Status(Failure::kPictureDecode);
  }
  try {
    return opaqueRgb(pixels, width, height, channels, sixteenBits, background);
  } catch (const std::bad_alloc&) {
    freeDecoded(pixels);
    throw;
  }
}

}  // namespace tintrod
