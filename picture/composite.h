// Pixels with alpha or fewer channels to opaque RGB over a background colour,
// as a viewer shows them: each channel blended by the alpha, in the file's own
// (gamma-encoded) values, then rounded to 8 bits. Every format that carries
// alpha lands through here, so a colour comes out the same whatever it came in.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "picture/rgb_picture.h"

namespace tintrod {

// Grey (1 or 2 channels) stands for all three; alpha, where there is one (2 or
// 4 channels), comes last. Writes 3 bytes a pixel from the start of `out`,
// which may be `pixels` itself: pixel i is read before any write reaches it.
template <typename Channel, std::uint32_t kMax>
void compositeOver(const Colour& background, const Channel* pixels, int channels, std::size_t count,
                   std::uint8_t* out) {
  constexpr std::uint32_t kMax8 = 255;
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

}  // namespace tintrod
