// The formats stb_image decodes for us (PNG, GIF's first frame, TGA, BMPs of
// true colour or bit fields), under a budget: every allocation it makes
// counts against what the picture it declares may need.
#pragma once

#include <cstdint>
#include <span>

#include "picture/picture_memory.h"
#include "picture/rgb_picture.h"
#include "util/status.h"

namespace tintrod {

// What the library may hold for each pixel of the picture it declares,
// generously: a progressive CMYK JPEG's coefficients, planes and pixels would
// fit. Sides are rounded up to whole units, and tables come on top.
inline constexpr std::int64_t kStbWorkPerPixel = 16;

// How a picture comes out of stb_image: its declared size, and what its
// pixels hold at most.
struct StbPicture {
  std::int64_t width = 0;
  std::int64_t height = 0;
  // Channels (a PNG's palette becomes RGBA; other formats' files may carry
  // alpha) and bytes of each.
  int channels = 4;
  int channelBytes = 1;
  std::int64_t workPerPixel = kStbWorkPerPixel;
};

// The library's pixels, and the opaque RGB picture made beside them when they
// hold fewer than three channels.
std::int64_t stbPixelBytes(const StbPicture& picture);
std::int64_t stbWidenedBytes(const StbPicture& picture);

// Decoding holds no more than the pixels and the widened picture.
DecodingCost stbCost(const StbPicture& picture);

// kPictureDecode when the library refuses the file, needs more memory than
// its declared picture, or decodes another size than it declares;
// kPictureTooLarge when the limit or the machine runs out first.
Result<RgbPicture> decodeWithStb(std::span<const std::uint8_t> file, const StbPicture& picture,
                                 const Colour& background);

}  // namespace tintrod
