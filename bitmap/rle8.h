// The run-length encoding of 8-bit bitmaps: pairs of bytes that either repeat
// one index (count, index) or escape with a zero to end a row, end the
// bitmap, move the position, or copy a literal run padded to 16 bits.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tintrod {

class InputFile;

// The bytes of a stream, from memory or from a file's current position to
// its end; never more than the source holds.
class Rle8Input {
 public:
  explicit Rle8Input(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  explicit Rle8Input(InputFile& file) : file_(&file) {}

  // False at the end of the source.
  bool next(std::uint8_t& byte);

 private:
  bool refill();

  InputFile* file_ = nullptr;
  std::span<const std::uint8_t> bytes_;
  std::size_t used_ = 0;
  std::array<std::uint8_t, 4096> buffer_{};
};

// Decodes a stream into `destination` (width x height bytes, rows in the order
// the stream produces them; pixels it leaves unset are 0), or only checks it
// when `destination` is null. False when the source ends before the
// end-of-bitmap code or a run would write outside the picture.
bool decodeRle8(Rle8Input& input, std::int32_t width, std::int32_t height,
                std::uint8_t* destination);

}  // namespace tintrod
