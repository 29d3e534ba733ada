#include "prepare/decode_picture.h"

#include <stb/stb_image.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <new>

#include "prepare/decode_jpeg.h"
#include "prepare/decoder_memory.h"
#include "prepare/format_webp.h"
#include "prepare/indexed_bitmap.h"
#include "prepare/picture_guards.h"
#include "prepare/picture_header.h"
#include "prepare/picture_memory.h"
#include "prepare/prepare_picture.h"

namespace tintrod {
namespace {

constexpr int kRgbaChannels = 4;
constexpr std::uint32_t kMax8 = 255;
constexpr std::uint32_t kMax16 = 65535;

bool withinLimits(std::int64_t width, std::int64_t height) {
  return width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

void freeDecoded(void* pixels) { stbi_image_free(pixels); }

// Over the background, as a viewer shows it: each channel blended by the
// alpha, in the file's own (gamma-encoded) values, then rounded to 8 bits.
// Grey stands for all three channels; alpha, where there is one, comes last.
// Writes 3 bytes a pixel from the start of `out`, which may be `pixels`
// itself: pixel i is read before any write reaches it.
template <typename Channel, std::uint32_t kMax>
void composite(const Channel* pixels, int channels, std::size_t count, const Colour& background,
               std::uint8_t* out) {
  constexpr std::uint64_t kOpaqueProduct = std::uint64_t{kMax} * kMax;
  const bool grey = channels < kRgbChannels;
  const bool hasAlpha = channels % 2 == 0;
  for (std::size_t i = 0; i < count; ++i, pixels += channels) {
    const std::uint64_t alpha = hasAlpha ? pixels[channels - 1] : kMax;
    std::array<std::uint8_t, kRgbChannels> pixel{};
    for (int c = 0; c < kRgbChannels; ++c) {
      const std::uint64_t behind = std::uint64_t{background[c]} * (kMax / kMax8) * (kMax - alpha);
      const std::uint64_t blended = std::uint64_t{pixels[grey ? 0 : c]} * alpha + behind;
      pixel[std::size_t(c)] =
          static_cast<std::uint8_t>((blended * kMax8 + kOpaqueProduct / 2) / kOpaqueProduct);
    }
    std::copy(pixel.begin(), pixel.end(), out);
    out += kRgbChannels;
  }
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
    composite<std::uint16_t, kMax16>(static_cast<const std::uint16_t*>(pixels), channels, count,
                                     background, picture.channels.data());
  } else {
    composite<std::uint8_t, kMax8>(static_cast<const std::uint8_t*>(pixels), channels, count,
                                   background, picture.channels.data());
  }
  if (channels < kRgbChannels) freeDecoded(pixels);
  return picture;
}

DecodedPicture decodeWithStb(std::span<const std::uint8_t> file, const PictureHeader& header,
                             const Colour& background) {
  const auto length = static_cast<int>(file.size());
  int width = 0;
  int height = 0;
  int channels = 0;  // the file's own: fewer than four take less memory
  const bool sixteenBits = stbi_is_16_bit_from_memory(file.data(), length) != 0;
  const DecoderAllowance allowance = decoderAllowance(file.size(), header);
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
  if (width != header.width || height != header.height || channels < 1 ||
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

}  // namespace

std::optional<PictureSize> declaredPictureSize(std::span<const std::uint8_t> file) {
  const auto header = readPictureHeader(file);
  if (!header) return std::nullopt;
  return PictureSize{header->width, header->height};
}

DecodedPicture decodePicture(std::span<const std::uint8_t> file, const DecodeTarget& target,
                             const Colour& background) {
  if (file.size() > kMaxPictureFileSize || file.size() > std::size_t{INT_MAX}) {
    return Status(Failure::kPictureTooLarge);
  }
  const auto header = readPictureHeader(file);
  if (!header) return Status(Failure::kPictureDecode);
  // A JPEG is decoded at its scale: its memory, not its size, is what is limited.
  if (header->format != PictureFormat::kJpeg && !withinLimits(header->width, header->height)) {
    return Status(Failure::kPictureTooLarge);
  }
  const std::int64_t slotPixels = std::int64_t{target.width} * target.height;
  if (header->format != PictureFormat::kJpeg &&
      !fitsMemoryLimit(file.size(), *header, slotPixels)) {
    return Status(Failure::kPictureTooLarge);
  }
  if (header->format == PictureFormat::kBmp) {
    if (auto indexed = decodeIndexedBitmap(file)) return std::move(*indexed);
  }
  if (!pictureGuardsPass(file, header->format)) return Status(Failure::kPictureDecode);
  if (header->format == PictureFormat::kJpeg) return decodeJpeg(file, target);
  if (header->format == PictureFormat::kWebp) return decodeWebp(file, *header, background);
  return decodeWithStb(file, *header, background);
}

}  // namespace tintrod
