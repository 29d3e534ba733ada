#include "prepare/fit_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include <stb/stb_image_resize.h>

namespace tintrod {
namespace {

// The part of the source that is scaled, in fractions of its width and height.
struct Region {
  float left = 0;
  float top = 0;
  float right = 1;
  float bottom = 1;
};

RgbPicture blank(int width, int height) {
  RgbPicture picture;
  picture.width = width;
  picture.height = height;
  picture.channels = PixelBytes(std::size_t(width) * std::size_t(height) * kRgbChannels);
  return picture;
}

Result<RgbPicture> resized(const RgbPicture& picture, int width, int height, const Region& region) {
  RgbPicture out = blank(width, height);
  const int done = stbir_resize_region(
      picture.channels.data(), picture.width, picture.height, picture.width * kRgbChannels,
      out.channels.data(), width, height, width * kRgbChannels, STBIR_TYPE_UINT8, kRgbChannels,
      STBIR_ALPHA_CHANNEL_NONE, 0, STBIR_EDGE_CLAMP, STBIR_EDGE_CLAMP, STBIR_FILTER_DEFAULT,
      STBIR_FILTER_DEFAULT, STBIR_COLORSPACE_SRGB, nullptr, region.left, region.top, region.right,
      region.bottom);
  // The scaler takes its working memory with malloc, and says no more than
  // that it did not scale: a machine that cannot hold that memory is one the
  // picture is too large for.
  if (done == 0) return Status(Failure::kPictureTooLarge);
  return out;
}

// Copies `source` into `target` with its top left corner at (x, y); the parts
// of `source` outside `target` are left out.
void place(const RgbPicture& source, int x, int y, RgbPicture& target) {
  const int left = std::max(x, 0);
  const int right = std::min(x + source.width, target.width);
  for (int row = std::max(y, 0); row < std::min(y + source.height, target.height); ++row) {
    const auto* const from = source.channels.begin() +
                             (std::ptrdiff_t(row - y) * source.width + (left - x)) * kRgbChannels;
    std::copy(from, from + std::ptrdiff_t(right - left) * kRgbChannels,
              target.channels.begin() + (std::ptrdiff_t(row) * target.width + left) * kRgbChannels);
  }
}

Result<RgbPicture> stretched(RgbPicture picture, int width, int height) {
  if (picture.width == width && picture.height == height) return picture;
  return resized(picture, width, height, Region{});
}

// The scale that makes the picture cover the slot: the larger of the two
// ratios. Whichever side it fills is kept whole; the other is cut evenly.
Result<RgbPicture> cropped(const RgbPicture& picture, int width, int height) {
  const std::int64_t widthRatio = std::int64_t{width} * picture.height;
  const std::int64_t heightRatio = std::int64_t{height} * picture.width;
  const bool fillsWidth = widthRatio >= heightRatio;
  const int scale = fillsWidth ? width : height;
  const int side = fillsWidth ? picture.width : picture.height;
  if (scale == side) {
    // One to one: the centre is cut out without resampling.
    RgbPicture out = blank(width, height);
    place(picture, (width - picture.width) / 2, (height - picture.height) / 2, out);
    return out;
  }
  Region region;
  if (fillsWidth) {
    const double kept = double(heightRatio) / double(widthRatio);  // of the source's height
    region.top = float((1 - kept) / 2);
    region.bottom = float(1 - (1 - kept) / 2);
  } else {
    const double kept = double(widthRatio) / double(heightRatio);
    region.left = float((1 - kept) / 2);
    region.right = float(1 - (1 - kept) / 2);
  }
  return resized(picture, width, height, region);
}

// The scale that makes the picture fit inside: the smaller of the two ratios.
Result<RgbPicture> padded(RgbPicture picture, int width, int height, const Colour& background) {
  const std::int64_t widthRatio = std::int64_t{width} * picture.height;
  const std::int64_t heightRatio = std::int64_t{height} * picture.width;
  int innerWidth = width;
  int innerHeight = height;
  if (widthRatio < heightRatio) {
    innerHeight =
        int(std::clamp<std::int64_t>((widthRatio + picture.width / 2) / picture.width, 1, height));
  } else if (heightRatio < widthRatio) {
    innerWidth = int(
        std::clamp<std::int64_t>((heightRatio + picture.height / 2) / picture.height, 1, width));
  }
  RgbPicture out = blank(width, height);
  for (std::size_t i = 0; i < out.channels.size(); ++i) {
    out.channels[i] = background[i % kRgbChannels];
  }
  const Result<RgbPicture> inner = stretched(std::move(picture), innerWidth, innerHeight);
  if (!inner.ok()) return inner.status();
  place(*inner, (width - innerWidth) / 2, (height - innerHeight) / 2, out);
  return out;
}

}  // namespace

Result<RgbPicture> fitPicture(RgbPicture picture, int width, int height, Fit fit,
                              const Colour& background) {
  switch (fit) {
    case Fit::kCrop:
      return cropped(picture, width, height);
    case Fit::kPad:
      return padded(std::move(picture), width, height, background);
    case Fit::kStretch:
      break;
  }
  return stretched(std::move(picture), width, height);
}

}  // namespace tintrod
