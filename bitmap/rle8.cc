#include "bitmap/rle8.h"

#include <cstring>

#include "util/input_file.h"

namespace tintrod {
namespace {

// The second byte of a pair whose first byte is zero.
constexpr std::uint8_t kEndOfLine = 0;
constexpr std::uint8_t kEndOfBitmap = 1;
constexpr std::uint8_t kDelta = 2;  // two more bytes: columns right, rows on

class Rle8Decoder {
 public:
  Rle8Decoder(Rle8Input& input, std::int32_t width, std::int32_t height, std::uint8_t* destination)
      : input_(input), width_(width), height_(height), destination_(destination) {}

  bool run() {
    if (width_ < 0 || height_ < 0) return false;
    if (destination_ != nullptr) {
      std::memset(destination_, 0, static_cast<std::size_t>(width_) * height_);
    }
    std::uint8_t count = 0;
    std::uint8_t value = 0;
    while (input_.next(count) && input_.next(value)) {
      if (count != 0) {
        if (!repeat(count, value)) return false;
      } else if (value == kEndOfBitmap) {
        return true;
      } else if (value == kEndOfLine) {
        x_ = 0;
        ++y_;
      } else if (value == kDelta) {
        if (!moveBy()) return false;
      } else if (!copyLiteral(value)) {
        return false;
      }
    }
    return false;
  }

 private:
  // The position may wander off the picture through deltas and row ends;
  // only a run that writes there is an error.
  bool fits(std::int64_t count) const { return y_ < height_ && x_ + count <= width_; }

  std::uint8_t* here() const { return destination_ + y_ * width_ + x_; }

  bool repeat(std::uint8_t count, std::uint8_t value) {
    if (!fits(count)) return false;
    if (destination_ != nullptr) std::memset(here(), value, count);
    x_ += count;
    return true;
  }

  bool moveBy() {
    std::uint8_t right = 0;
    std::uint8_t down = 0;
    if (!input_.next(right) || !input_.next(down)) return false;
    x_ += right;
    y_ += down;
    return true;
  }

  bool copyLiteral(std::uint8_t count) {
    if (!fits(count)) return false;
    for (int i = 0; i < count; ++i) {
      std::uint8_t value = 0;
      if (!input_.next(value)) return false;
      if (destination_ != nullptr) here()[i] = value;
    }
    x_ += count;
    std::uint8_t padding = 0;
    return count % 2 == 0 || input_.next(padding);
  }

  Rle8Input& input_;
  const std::int64_t width_;
  const std::int64_t height_;
  std::uint8_t* const destination_;
  // Each pair advances at most 255 columns or rows, so 64 bits never overflow.
  std::int64_t x_ = 0;
  std::int64_t y_ = 0;
};

}  // namespace

bool Rle8Input::next(std::uint8_t& byte) {
  if (used_ == bytes_.size() && !refill()) return false;
  byte = bytes_[used_++];
  return true;
}

bool Rle8Input::refill() {
  if (file_ == nullptr) return false;
  const std::size_t got = file_->readSome(buffer_.data(), buffer_.size());
  bytes_ = std::span<const std::uint8_t>(buffer_.data(), got);
  used_ = 0;
  return got != 0;
}

bool decodeRle8(Rle8Input& input, std::int32_t width, std::int32_t height,
                std::uint8_t* destination) {
  return Rle8Decoder(input, width, height, destination).run();
}

}  // namespace tintrod
