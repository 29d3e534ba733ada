// The check every format decoded whole shares (all but JPEG, which decodes to
// the slot's scale): the size limits, the memory its decoding and the stages
// after it hold, then the format's own test that its data is all there.
#pragma once

#include <cstdint>
#include <span>

#include "picture/picture_memory.h"
#include "picture/picture_reader.h"

namespace tintrod {

class WholePictureReader : public PictureReader {
 public:
  WholePictureReader(std::span<const std::uint8_t> file, const PictureInfo& info)
      : PictureReader(info), file_(file) {}

  Status check(const DecodeTarget& target) const final;
  // The whole picture, whatever the target.
  DecodedPicture decode(const DecodeTarget& /*target*/, const Colour& background) final {
    return decodeWhole(background);
  }

 protected:
  std::span<const std::uint8_t> file() const { return file_; }

 private:
  virtual DecodedPicture decodeWhole(const Colour& background) = 0;
  virtual DecodingCost cost() const = 0;
  // The data covers every pixel, and costs no more work than the picture's
  // size bounds: a decoder fills what is missing with black and calls the
  // picture whole.
  virtual bool complete() const = 0;

  std::span<const std::uint8_t> file_;
};

}  // namespace tintrod
