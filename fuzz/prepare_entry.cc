#include <array>

#include "bitmap/bitmap_headers.h"
#include "bitmap/bitmap_layout.h"
#include "fuzz/fuzz_entries.h"
#include "fuzz/fuzz_support.h"
#include "picture/picture_reader.h"
#include "prepare/prepare_picture.h"
#include "util/coding.h"

namespace tintrod::fuzz {
namespace {

// Larger pictures would only make the harness spend its time decoding; the
// limits themselves are checked by the tests.
constexpr std::int64_t kMaxArea = std::int64_t{1} << 18;

struct Slot {
  int width;
  int height;
};

// Odd and lopsided sizes, so that every fit resamples and pads unevenly.
constexpr std::array<Slot, 8> kSlots = {
    {{32, 32}, {33, 17}, {17, 33}, {1, 1}, {64, 16}, {16, 64}, {7, 5}, {128, 128}}};

constexpr std::array<Fit, 4> kFits = {Fit::kStretch, Fit::kCrop, Fit::kPad, Fit::kStretch};

// A side past the limits is refused before any decoding, so it costs nothing
// (and a PNG's sides of up to 2^32 - 1 must not be multiplied).
bool smallEnough(const std::uint8_t* data, std::size_t size) {
  const auto declared = declaredPictureSize({data, size});
  return !declared || declared->width > kMaxPictureSide || declared->height > kMaxPictureSide ||
         declared->width * declared->height <= kMaxArea;
}

// The file is one tintrod takes for the slot: 8 bits, uncompressed, a table
// of 1 to 256 entries that every index stays inside.
void expectSlotBitmap(const std::vector<std::uint8_t>& file, const Slot& slot) {
  expectProperty(file.size() >= std::size_t{kBitmapHeadersSize}, "the bitmap has its headers");
  const std::uint8_t* info = file.data() + kBitmapFileHeaderSize;
  expectProperty(decodeFixed16(file.data()) == 0x4D42, "the bitmap starts with BM");
  expectProperty(decodeFixed32(info) == kBitmapInfoHeaderSize, "the info header has 40 bytes");
  expectProperty(decodeSigned32(info + 4) == slot.width && decodeSigned32(info + 8) == slot.height,
                 "the bitmap is the slot's size, bottom-up");
  expectProperty(
      decodeFixed16(info + 14) == kBitmapDepth && decodeFixed32(info + 16) == kCompressionNone,
      "the bitmap is plain 8-bit");
  const std::uint32_t colors = decodeFixed32(info + 32);
  expectProperty(colors >= 1 && colors <= 256, "the table has 1 to 256 entries");
  const std::size_t rowLength = (std::size_t(slot.width) + 3) / 4 * 4;
  const std::size_t pixelStart = kBitmapHeadersSize + 4 * std::size_t{colors};
  expectProperty(file.size() == pixelStart + rowLength * std::size_t(slot.height),
                 "the bitmap holds exactly its rows");
  for (int row = 0; row < slot.height; ++row) {
    for (int x = 0; x < slot.width; ++x) {
      expectProperty(file[pixelStart + row * rowLength + x] < colors,
                     "every index names an entry of the table");
    }
  }
}

}  // namespace

void fuzzPrepare(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const std::uint8_t choice = data[0];
  const std::uint8_t* picture = data + 1;
  const std::size_t length = size - 1;
  // The header readers see every input, however large the picture it declares.
  const auto reader = openPicture({picture, length});
  if (reader.ok()) {
    const int orientation = (*reader)->info().orientation;
    expectProperty(orientation >= 1 && orientation <= kOrientations, "an orientation is 1 to 8");
  }
  if (!smallEnough(picture, length)) return;
  const Slot slot = kSlots[(choice >> 3) % kSlots.size()];
  PrepareOptions options;
  options.fit = kFits[choice % kFits.size()];
  options.dither = (choice & 4) != 0;

  const PreparedPicture prepared =
      preparePicture({picture, length}, slot.width, slot.height, options);
  if (!prepared.ok()) {
    expectProperty(prepared.status().failure() == Failure::kPictureDecode ||
                       prepared.status().failure() == Failure::kPictureTooLarge ||
                       prepared.status().failure() == Failure::kJpegTooLarge,
                   "a picture is refused only as undecodable or too large");
    return;
  }
  expectSlotBitmap(*prepared, slot);
}

}  // namespace tintrod::fuzz
