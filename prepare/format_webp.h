// WebP in one place: its RIFF header, read by this program so that the
// limits are checked before libwebp sees the file, what libwebp holds while
// it decodes, and the decoding itself.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "prepare/picture_header.h"
#include "prepare/rgb_picture.h"
#include "util/status.h"

namespace tintrod {

// "RIFF", its size, "WEBP".
bool isWebpFile(std::span<const std::uint8_t> file);

// The canvas of a still WebP whose chunks all lie inside the file; nothing
// for an animation, a cut-off file or one without a picture chunk.
std::optional<PictureHeader> webpHeader(std::span<const std::uint8_t> file);

// The most libwebp and the picture made from its pixels hold at once.
std::int64_t webpDecodingPeak(const PictureHeader& header);

// kPictureDecode for a file libwebp refuses or whose picture is not the
// declared one; the picture, alpha composited over `background`, otherwise.
Result<RgbPicture> decodeWebp(std::span<const std::uint8_t> file, const PictureHeader& header,
                              const Colour& background);

}  // namespace tintrod
