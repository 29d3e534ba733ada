// GIF's first frame, the one the programs show: its screen size read here, and
// its compressed codes followed (without drawing) to count the pixels they
// stand for before stb_image decodes it.
#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "picture/formats.h"
#include "picture/stb_pixels.h"
#include "picture/whole_picture.h"
#include "util/coding.h"

namespace tintrod {
namespace {

constexpr std::size_t kSizeOffset = 6;
constexpr std::size_t kScreenDescriptorEnd = 13;
constexpr std::uint8_t kImageSeparator = 0x2C;
constexpr std::uint8_t kExtension = 0x21;
constexpr std::uint8_t kHasColorTable = 0x80;
constexpr std::size_t kImageDescriptorBytes = 9;  // position, size, flags
constexpr int kMaxCodeBits = 12;
constexpr int kMaxCodes = 8192;  // decoders keep adding codes past 4096 until a clear

std::size_t colorTableBytes(std::uint8_t flags) {
  return (flags & kHasColorTable) != 0 ? 3 * (std::size_t{2} << (flags & 0x07)) : 0;
}

// The bytes of a chain of sub-blocks, read one at a time; false at the end
// of the chain or of the file (then `cutOff` says so).
class SubBlocks {
 public:
  SubBlocks(std::span<const std::uint8_t> file, std::size_t at) : file_(file), at_(at) {}

  bool next(std::uint8_t& byte) {
    if (left_ == 0) {
      if (ended_ || at_ >= file_.size()) return stop(at_ >= file_.size());
      left_ = file_[at_++];
      if (left_ == 0) return stop(false);
    }
    if (at_ >= file_.size()) return stop(true);
    byte = file_[at_++];
    --left_;
    return true;
  }

  // Past the rest of the chain; false when the file ends first.
  bool skipRest() {
    std::uint8_t byte = 0;
    while (next(byte)) {
    }
    return !cutOff_;
  }

  bool cutOff() const { return cutOff_; }
  std::size_t position() const { return at_; }

 private:
  bool stop(bool cutOff) {
    ended_ = true;
    cutOff_ = cutOff_ || cutOff;
    return false;
  }

  std::span<const std::uint8_t> file_;
  std::size_t at_;
  std::size_t left_ = 0;
  bool ended_ = false;
  bool cutOff_ = false;
};

// Follows the codes the way a decoder builds its table, keeping only each
// entry's length.
class CodeCounter {
 public:
  CodeCounter(SubBlocks& blocks, int minimumBits, std::int64_t pixels)
      : blocks_(blocks), minimumBits_(minimumBits), pixels_(pixels) {}

  bool coversFrame() {
    if (minimumBits_ > kMaxCodeBits) return false;
    clear_ = 1 << minimumBits_;
    for (int code = 0; code < clear_; ++code) lengths_[std::size_t(code)] = 1;
    reset();
    for (;;) {
      const std::optional<int> code = nextCode();
      if (!code) return !blocks_.cutOff() && drawn_ == pixels_;
      if (*code == clear_) {
        if (++clears_ > drawingCodes_ + 2) return false;
        reset();
        started_ = true;
      } else if (*code == clear_ + 1) {
        return drawn_ == pixels_ && blocks_.skipRest();
      } else if (!draw(*code)) {
        return false;
      }
    }
  }

 private:
  void reset() {
    bits_ = minimumBits_ + 1;
    available_ = clear_ + 2;
    previous_ = -1;
  }

  std::optional<int> nextCode() {
    while (held_ < bits_) {
      std::uint8_t byte = 0;
      if (!blocks_.next(byte)) return std::nullopt;
      buffer_ |= std::uint32_t{byte} << held_;
      held_ += 8;
    }
    const int code = static_cast<int>(buffer_ & ((1U << bits_) - 1));
    buffer_ >>= bits_;
    held_ -= bits_;
    return code;
  }

  bool draw(int code) {
    if (!started_ || code > available_ || drawn_ >= pixels_) return false;
    if (previous_ >= 0) {
      if (available_ >= kMaxCodes) return false;
      lengths_[std::size_t(available_)] = lengths_[std::size_t(previous_)] + 1;
      ++available_;
    } else if (code == available_) {
      return false;
    }
    drawn_ += lengths_[std::size_t(code)];
    ++drawingCodes_;
    if ((available_ & ((1 << bits_) - 1)) == 0 && bits_ < kMaxCodeBits) ++bits_;
    previous_ = code;
    return drawn_ <= pixels_;
  }

  SubBlocks& blocks_;
  const int minimumBits_;
  const std::int64_t pixels_;
  std::array<std::int32_t, kMaxCodes> lengths_{};
  int clear_ = 0;
  int bits_ = 0;
  int available_ = 0;
  int previous_ = -1;
  bool started_ = false;  // decoders insist on a clear code first
  std::uint32_t buffer_ = 0;
  int held_ = 0;
  std::int64_t drawn_ = 0;
  std::int64_t drawingCodes_ = 0;
  std::int64_t clears_ = 0;
};

// True when the first frame's codes cover exactly its pixels. A file cut off
// inside them, or codes that end early, would leave pixels undrawn; codes
// that go on past the frame's last pixel, or clear codes in excess of the
// codes that draw, cost a decoder work that the picture's size does not
// bound (each code it reads spells out a string of up to 4096 pixels).
bool firstFrameComplete(std::span<const std::uint8_t> file) {
  if (file.size() < kScreenDescriptorEnd) return false;
  std::size_t at = kScreenDescriptorEnd + colorTableBytes(file[10]);
  while (at < file.size()) {
    const std::uint8_t block = file[at++];
    if (block == kExtension) {
      if (at >= file.size()) return false;
      SubBlocks data(file, at + 1);
      if (!data.skipRest()) return false;
      at = data.position();
    } else if (block == kImageSeparator) {
      if (file.size() - at < kImageDescriptorBytes) return false;
      const std::int64_t pixels =
          std::int64_t{decodeFixed16(&file[at + 4])} * decodeFixed16(&file[at + 6]);
      at += kImageDescriptorBytes + colorTableBytes(file[at + 8]);
      if (at >= file.size()) return false;
      SubBlocks data(file, at + 1);
      return CodeCounter(data, file[at], pixels).coversFrame();
    } else {
      return false;  // the trailer, or damage, before any frame
    }
  }
  return false;
}

// A frame is decoded beside the background it was drawn on (4 bytes a pixel
// each) and a byte a pixel of its history.
constexpr std::int64_t kBytesPerPixel = 9;

class GifReader final : public WholePictureReader {
 public:
  GifReader(std::span<const std::uint8_t> file, const PictureInfo& info)
      : WholePictureReader(file, info), pixels_{info.width, info.height} {}

  DecodedPicture decodeWhole(const Colour& background) override {
    return decodeWithStb(file(), pixels_, background);
  }

 private:
  DecodingCost cost() const override {
    return {info().width * info().height * kBytesPerPixel, stbCost(pixels_).decoded};
  }
  bool complete() const override { return firstFrameComplete(file()); }

  StbPicture pixels_;
};

}  // namespace

bool isGifFile(std::span<const std::uint8_t> file) {
  const std::string_view start(reinterpret_cast<const char*>(file.data()),
                               std::min<std::size_t>(file.size(), 6));
  return start == "GIF87a" || start == "GIF89a";
}

std::unique_ptr<PictureReader> openGif(std::span<const std::uint8_t> file) {
  if (file.size() < kSizeOffset + 4) return nullptr;
  const std::int64_t width = decodeFixed16(&file[kSizeOffset]);
  const std::int64_t height = decodeFixed16(&file[kSizeOffset + 2]);
  if (width <= 0 || height <= 0) return nullptr;
  return std::make_unique<GifReader>(file, PictureInfo{PictureFormat::kGif, width, height});
}

}  // namespace tintrod
