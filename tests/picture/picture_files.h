// Pictures for tintrod-prepare's tests: written here with stb_image_write, or
// committed under tests/data/pictures (see its NOTE); and a prepared bitmap
// read back the way tintrod reads it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "tests/support/scratch.h"

namespace tintrod::testing {

using Rgb = std::array<std::uint8_t, 3>;

// Red, green, blue bytes, rows top to bottom.
struct RgbPixels {
  int width = 0;
  int height = 0;
  Bytes rgb;

  Rgb at(int x, int y) const;
};

// A PNG of `pixels` with `channels` of 3 or 4 (then `rgb` holds RGBA).
Bytes pngOf(int width, int height, int channels, const Bytes& pixels);
Bytes pngOf(const RgbPixels& pixels);
// A baseline JPEG of RGB `rgb` at the best quality stb_image_write offers.
Bytes jpegOf(int width, int height, const Bytes& rgb);
// A 24-bit TGA, run-length encoded or not.
Bytes tgaOf(int width, int height, const Bytes& rgb, bool runLength);

// A JPEG written by libjpeg-turbo at quality 95, 4:4:4.
struct JpegPlan {
  int width = 0;
  int height = 0;
  // 1 (grey), 3 (RGB, stored as YCbCr) or 4 (CMYK as Adobe stores it, ink
  // inverted; stored as YCCK when `ycck`), rows top to bottom.
  int components = 3;
  Bytes samples;
  bool ycck = false;
  // A grey picture in this many scans of one coefficient each: DC, then
  // every AC coefficient once, or twice (successive approximation). 0: baseline.
  int progressivePasses = 0;
};
Bytes jpegOf(const JpegPlan& plan);

Bytes committedPicture(const std::string& name);

// A PNG of `colorType` and `depth` whose image data is `imageData` (a zlib
// stream), its chunks' checksums correct.
Bytes pngWithImageData(std::uint32_t width, std::uint32_t height, std::uint8_t colorType,
                       const Bytes& imageData, std::uint8_t depth = 8, bool interlaced = false);
// The bytes a PNG's image data inflates to, filter bytes included.
std::size_t pngImageBytes(std::uint32_t width, std::uint32_t height, int pixelBytes,
                          bool interlaced);
// A zlib stream that inflates to `count` zero bytes, 258 of them to every
// 13 bits: a thousandfold.
Bytes zlibOfZeros(std::size_t count);

// A GIF of `width` x `height` whose first frame's codes are `codes`: 8 bits
// each, over a table of 128 colours (index i is grey i * 2), so that 128 is
// the clear code and 129 the end. The codes of a plain picture are
// gifCodesOf(indices).
Bytes gifOf(int width, int height, const Bytes& codes);
// Each index as its own code, with clear codes often enough that codes stay
// 8 bits.
Bytes gifCodesOf(const Bytes& indices);
inline constexpr std::uint8_t kGifClear = 128;
inline constexpr std::uint8_t kGifEnd = 129;

// Runs the bitmap through tintrod's own validation and loading for a slot
// of `width` x `height`, then shows it upright: the loaded indices through
// the loaded palette, top row first.
RgbPixels readBack(const Bytes& bitmap, int width, int height);

// The colour-table entries a BMP file declares it uses.
std::uint32_t colorsUsed(const Bytes& bitmap);

}  // namespace tintrod::testing
