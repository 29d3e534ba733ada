// A picture file of any format the programs take, read in three steps that are
// the same for every format: open (what the file declares of itself), check
// (the limits, the memory its decoding will hold, and data that is complete and
// costs no more work than its size bounds) and decode. Each format keeps all it
// knows in one file of this folder; no decoding library sees a file that has
// not passed the check.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "picture/rgb_picture.h"
#include "util/status.h"

namespace tintrod {

enum class PictureFormat { kPng, kJpeg, kBmp, kGif, kTga, kWebp, kHeif };

enum class Fit {
  kStretch,  // scale to the slot's size
  kCrop,     // scale to cover it and cut the centre
  kPad,      // scale to fit inside it and fill the rest with the background
};

// The slot a picture is decoded for, in the picture's stored orientation. A
// decoder that scales while it decodes stops at the smallest size that keeps
// the texture as the whole picture would make it: one the fit to the slot
// still reduces enough, with enough of the scene in it (picture/jpeg.cc). A
// width or height of 0 asks for the whole picture.
struct DecodeTarget {
  int width = 0;
  int height = 0;
  Fit fit = Fit::kStretch;
};

// Orientations as EXIF numbers them: 1 as stored; 2 mirrored; 3 turned half
// round; 4 flipped; 5 to 8 the same about the diagonal, 6 needing a quarter
// turn clockwise, 8 anticlockwise.
inline constexpr int kOrientationAsStored = 1;
inline constexpr int kOrientations = 8;

inline constexpr bool orientationSwapsSides(int orientation) {
  return orientation >= 5 && orientation <= 8;
}

// What a file declares before any of its pixels.
struct PictureInfo {
  PictureFormat format = PictureFormat::kPng;
  // Both positive, as stored; a top-down BMP's negative height arrives as its size.
  std::int64_t width = 0;
  std::int64_t height = 0;
  // How the decoded picture is to be turned to show as a viewer shows it.
  int orientation = kOrientationAsStored;
};

// A picture, or the failure that stopped it being decoded.
using DecodedPicture = Result<RgbPicture>;

class PictureReader {
 public:
  explicit PictureReader(const PictureInfo& info) : info_(info) {}
  virtual ~PictureReader() = default;
  PictureReader(const PictureReader&) = delete;
  PictureReader& operator=(const PictureReader&) = delete;

  const PictureInfo& info() const { return info_; }

  // Success, or the failure that refuses the file before any decoding:
  // kPictureTooLarge (kJpegTooLarge for a JPEG) past the limits or the memory,
  // kPictureDecode for data that is incomplete or costs unbounded work.
  virtual Status check(const DecodeTarget& target) const = 0;

  // Only after check() passed for the same target. Opaque RGB, as stored;
  // `background` shows through transparent parts.
  virtual DecodedPicture decode(const DecodeTarget& target, const Colour& background) = 0;

 private:
  PictureInfo info_;
};

// The reader of the format the file is in; kPictureDecode for a file in none
// of them or whose header is cut off or declares no pixels, kPictureTooLarge
// for a file past kMaxPictureFileSize. The reader looks at `file`, which must
// outlive it.
Result<std::unique_ptr<PictureReader>> openPicture(std::span<const std::uint8_t> file);

// Whether the file carries the signature of a format read here, whole or
// damaged (a TGA, which has none, a header of the format).
bool inPictureFormat(std::span<const std::uint8_t> file);

struct PictureSize {
  std::int64_t width = 0;
  std::int64_t height = 0;
};

// The size a file declares, as a viewer shows it (the sides of a picture
// stored on its side swapped), read without decoding; nothing for a file
// openPicture refuses.
std::optional<PictureSize> declaredPictureSize(std::span<const std::uint8_t> file);

// Open, check and decode in one, for callers that turn the picture themselves.
DecodedPicture decodePicture(std::span<const std::uint8_t> file, const DecodeTarget& target = {},
                             const Colour& background = {});

}  // namespace tintrod
