#include "prepare/decode_picture.h"

#include <stb/stb_image.h>

#include <climits>
#include <cstdint>
#include <memory>

#include "prepare/decode_jpeg.h"
#include "prepare/picture_guards.h"
#include "prepare/prepare_picture.h"

namespace tintrod {
namespace {

constexpr int kRgbaChannels = 4;
constexpr std::uint32_t kMax8 = 255;
constexpr std::uint32_t kMax16 = 65535;

struct StbFree {
  void operator()(void* pixels) const { stbi_image_free(pixels); }
};

bool withinLimits(int width, int height) {
  return width <= kMaxPictureSide && height <= kMaxPictureSide &&
         std::int64_t{width} * height <= kMaxPicturePixels;
}

// Over the background, as a viewer shows it: each channel blended by the
// alpha, in the file's own (gamma-encoded) values.
template <typename Channel, std::uint32_t kMax, std::uint32_t kTo16>
void composite(const Channel* rgba, const Colour& background, RgbPicture& picture) {
  const std::size_t pixels = std::size_t(picture.width) * std::size_t(picture.height);
  picture.channels.resize(pixels * kRgbChannels);
  std::uint16_t* out = picture.channels.data();
  for (std::size_t i = 0; i < pixels; ++i, rgba += kRgbaChannels) {
    const std::uint32_t alpha = rgba[3];
    for (int c = 0; c < kRgbChannels; ++c) {
      const std::uint64_t behind = std::uint64_t{background[c]} * (kMax / kMax8) * (kMax - alpha);
      const std::uint64_t scaled = (std::uint64_t{rgba[c]} * alpha + behind) * kTo16;
      *out++ = static_cast<std::uint16_t>((scaled + kMax / 2) / kMax);
    }
  }
}

}  // namespace

std::optional<PictureSize> declaredPictureSize(std::span<const std::uint8_t> file) {
  if (looksLikeJpeg(file)) return declaredJpegSize(file);
  int width = 0;
  int height = 0;
  int fileChannels = 0;
  if (file.size() > std::size_t{INT_MAX} || !jpegHuffmanCountsFit(file) ||
      stbi_info_from_memory(file.data(), static_cast<int>(file.size()), &width, &height,
                            &fileChannels) == 0) {
    return std::nullopt;
  }
  // A top-down BMP's height arrives negative. The decoder takes its absolute
  // value, which for the most negative height is undefined: refused here.
  if (height < 0 && height != INT_MIN) height = -height;
  if (width <= 0 || height <= 0) return std::nullopt;
  return PictureSize{width, height};
}

DecodedPicture decodePicture(std::span<const std::uint8_t> file, const DecodeTarget& target,
                             const Colour& background) {
  DecodedPicture decoded;
  if (file.size() > kMaxPictureFileSize || file.size() > std::size_t{INT_MAX}) {
    decoded.failure = Failure::kPictureTooLarge;
    return decoded;
  }
  const auto declared = declaredPictureSize(file);
  if (!declared) {
    decoded.failure = Failure::kPictureDecode;
    return decoded;
  }
  int width = declared->width;
  int height = declared->height;
  if (!withinLimits(width, height)) {
    decoded.failure = Failure::kPictureTooLarge;
    return decoded;
  }
  if (looksLikeJpeg(file)) return decodeJpeg(file, target);

  const auto length = static_cast<int>(file.size());
  int fileChannels = 0;
  const bool sixteenBits = stbi_is_16_bit_from_memory(file.data(), length) != 0;
  std::unique_ptr<void, StbFree> pixels(
      sixteenBits ? static_cast<void*>(stbi_load_16_from_memory(
                        file.data(), length, &width, &height, &fileChannels, kRgbaChannels))
                  : static_cast<void*>(stbi_load_from_memory(file.data(), length, &width, &height,
                                                             &fileChannels, kRgbaChannels)));
  // The decoder reports the size it decoded; trust nothing it did not check.
  if (pixels == nullptr || width <= 0 || height <= 0 || !withinLimits(width, height)) {
    decoded.failure = Failure::kPictureDecode;
    return decoded;
  }
  decoded.picture.width = width;
  decoded.picture.height = height;
  if (sixteenBits) {
    composite<std::uint16_t, kMax16, 1>(static_cast<const std::uint16_t*>(pixels.get()), background,
                                        decoded.picture);
  } else {
    composite<std::uint8_t, kMax8, kEightBitTo16>(static_cast<const std::uint8_t*>(pixels.get()),
                                                  background, decoded.picture);
  }
  return decoded;
}

}  // namespace tintrod
