// How much memory decoding a picture takes, worked out from its header and
// file size before any pixel is decoded, so that no picture makes a run hold
// more than kMaxPictureMemory, the file itself included.
#pragma once

#include <cstddef>
#include <cstdint>

#include "prepare/picture_header.h"

namespace tintrod {

inline constexpr std::int64_t kMaxPictureMemory = std::int64_t{256} << 20;

// The most a decoding library may hold at once for this file: what its
// declared picture needs, but no more than the limit leaves beside the file
// and the picture made from the library's pixels.
struct DecoderAllowance {
  std::size_t bytes = 0;
  // The limit, not the picture, set `bytes`: running past it means the
  // picture is too large rather than damaged.
  bool setByLimit = false;
};
DecoderAllowance decoderAllowance(std::size_t fileSize, const PictureHeader& header);

// Whether the whole preparation stays within kMaxPictureMemory for a picture
// the library decodes in full (every format but JPEG, which decodes to the
// slot's scale and is bounded in prepare/decode_jpeg.cc), fitted to a slot of
// `slotPixels` (0: none) and quantized.
bool fitsMemoryLimit(std::size_t fileSize, const PictureHeader& header, std::int64_t slotPixels);

// What a JPEG decoder may hold beside the file and a `pictureBytes` picture
// and its turned copy, when the picture is then fitted to a slot of
// `slotPixels` and quantized; 0 when nothing is left.
std::int64_t jpegDecoderAllowance(std::size_t fileSize, std::int64_t pictureBytes,
                                  std::int64_t slotPixels);

// What fitting to a slot of `slotPixels` and quantizing hold at their peak.
std::int64_t slotStagesBytes(std::int64_t slotPixels);

}  // namespace tintrod
