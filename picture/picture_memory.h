// How much memory preparing a picture takes, worked out from what its file
// declares before any pixel is decoded, so that no picture makes a run hold
// more than kMaxPictureMemory, the file itself included. Each format says what
// its decoding holds; what comes after (fitting to the slot and quantizing) is
// the same for all.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tintrod {

// What decoding a picture holds beside its file.
struct DecodingCost {
  // The most the library and the picture made from its pixels hold at once.
  std::int64_t peak = 0;
  // The picture handed on to fitting, with the library's pixels where they
  // are not the picture itself.
  std::int64_t decoded = 0;
};

// Whether decoding, fitting to a slot of `slotPixels` (0: none) and
// quantizing all stay within kMaxPictureMemory.
bool fitsMemoryLimit(std::size_t fileSize, const DecodingCost& cost, std::int64_t slotPixels);

// The most a library that allocates through decoderAllocate may hold: what
// the declared picture needs, but no more than the limit leaves beside the
// file and `alsoHeld` (a copy the picture is made into afterwards).
struct DecoderAllowance {
  std::size_t bytes = 0;
  // The limit, not the picture, set `bytes`: running past it means the
  // picture is too large rather than damaged.
  bool setByLimit = false;
};
DecoderAllowance decoderAllowance(std::size_t fileSize, std::int64_t need, std::int64_t alsoHeld);

// What a JPEG decoder may hold beside the file and a `pictureBytes` picture
// and its turned copy, when the picture is then fitted to a slot of
// `slotPixels` and quantized; 0 when nothing is left.
std::int64_t jpegDecoderAllowance(std::size_t fileSize, std::int64_t pictureBytes,
                                  std::int64_t slotPixels);

// What fitting to a slot of `slotPixels` and quantizing hold at their peak.
std::int64_t slotStagesBytes(std::int64_t slotPixels);

}  // namespace tintrod
