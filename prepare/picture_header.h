// What a picture file declares about itself before any of its pixels: its
// format and size, read by this program so that the limits are checked before
// a decoding library sees the file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace tintrod {

enum class PictureFormat { kPng, kJpeg, kBmp, kGif, kTga, kWebp };

struct PictureHeader {
  PictureFormat format = PictureFormat::kPng;
  // Both positive; a top-down BMP's negative height arrives as its size.
  std::int64_t width = 0;
  std::int64_t height = 0;
  // A PNG's bytes a pixel at its own depth and channels (up to 8, for 16-bit
  // RGBA); 0 for the other formats.
  int pngPixelBytes = 0;
  // A PNG's inflated rows, each with its filter byte, in bytes; its
  // interlacing.
  std::int64_t pngRowBytes = 0;
  bool pngInterlaced = false;
  // What the decoding library's own pixels hold at most: channels (a PNG's
  // palette becomes RGBA; other formats' files may carry alpha) and bytes of
  // each.
  int decodedChannels = 4;
  int decodedChannelBytes = 1;
};

// Nothing for a file in none of the formats, one whose header is cut off, or
// one that declares no pixels. A JPEG's size comes from its frame header,
// found by walking its segments.
std::optional<PictureHeader> readPictureHeader(std::span<const std::uint8_t> file);

}  // namespace tintrod
