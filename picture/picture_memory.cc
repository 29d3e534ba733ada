#include "picture/picture_memory.h"

#include <algorithm>

#include "util/picture_limits.h"

namespace tintrod {
namespace {

// The program itself and the scaler's rows: what a run holds beside the file,
// the pictures and the quantizer.
constexpr std::int64_t kBesideThePicture = std::int64_t{8} << 20;

// The fitted picture (3 bytes a pixel), the quantizer's sort of its pixels
// and its histogram (every pixel's colour distinct, at worst) and indices,
// and the bitmap written: 20.7 bytes a slot pixel measured for a picture of
// noise to a 4096 x 4096 slot.
constexpr std::int64_t kSlotBytesPerPixel = 22;
constexpr std::int64_t kFittedBytesPerPixel = 3;

// The decoded picture is fitted into a picture of its own, which the
// quantizer then reads; the decoded one is gone by then.
std::int64_t afterDecoding(std::int64_t decoded, std::int64_t slotPixels) {
  return std::max(decoded + kFittedBytesPerPixel * slotPixels, slotStagesBytes(slotPixels));
}

}  // namespace

bool fitsMemoryLimit(std::size_t fileSize, const DecodingCost& cost, std::int64_t slotPixels) {
  const std::int64_t peak = std::max(cost.peak, afterDecoding(cost.decoded, slotPixels));
  return std::int64_t(fileSize) + peak + kBesideThePicture <= kMaxPictureMemory;
}

DecoderAllowance decoderAllowance(std::size_t fileSize, std::int64_t need, std::int64_t alsoHeld) {
  const std::int64_t left =
      kMaxPictureMemory - kBesideThePicture - std::int64_t(fileSize) - alsoHeld;
  if (need <= left) return {std::size_t(need), false};
  return {std::size_t(std::max<std::int64_t>(left, 0)), true};
}

std::int64_t jpegDecoderAllowance(std::size_t fileSize, std::int64_t pictureBytes,
                                  std::int64_t slotPixels) {
  const std::int64_t left = kMaxPictureMemory - kBesideThePicture - std::int64_t(fileSize);
  if (afterDecoding(2 * pictureBytes, slotPixels) > left) return 0;
  return std::max<std::int64_t>(left - 2 * pictureBytes, 0);
}

std::int64_t slotStagesBytes(std::int64_t slotPixels) { return kSlotBytesPerPixel * slotPixels; }

}  // namespace tintrod
