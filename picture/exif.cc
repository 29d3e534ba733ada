#include "picture/exif.h"

#include "picture/picture_reader.h"
#include "util/coding.h"

namespace tintrod {
namespace {

constexpr std::size_t kSignatureSize = 6;   // "Exif\0\0"; the TIFF header follows
constexpr std::size_t kTiffHeaderSize = 8;  // byte order, 42, first directory's offset
constexpr std::size_t kEntrySize = 12;      // tag, type, count, value
constexpr std::uint16_t kTiffMagic = 42;
constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;

// EXIF is a TIFF structure, in either byte order.
class TiffReader {
 public:
  TiffReader(std::span<const std::uint8_t> tiff, bool bigEndian)
      : tiff_(tiff), bigEndian_(bigEndian) {}

  bool fits(std::size_t offset, std::size_t size) const {
    return offset <= tiff_.size() && size <= tiff_.size() - offset;
  }
  // Callers check fits() first.
  std::uint16_t u16(std::size_t offset) const {
    const std::uint8_t* p = tiff_.data() + offset;
    return bigEndian_ ? decodeBigEndian16(p) : decodeFixed16(p);
  }
  std::uint32_t u32(std::size_t offset) const {
    const std::uint8_t* p = tiff_.data() + offset;
    return bigEndian_ ? decodeBigEndian32(p) : decodeFixed32(p);
  }

 private:
  std::span<const std::uint8_t> tiff_;
  bool bigEndian_;
};

}  // namespace

int exifOrientation(std::span<const std::uint8_t> payload) {
  if (payload.size() < kSignatureSize + kTiffHeaderSize) return kOrientationAsStored;
  const std::span<const std::uint8_t> tiff = payload.subspan(kSignatureSize);
  const bool little = tiff[0] == 'I' && tiff[1] == 'I';
  const bool big = tiff[0] == 'M' && tiff[1] == 'M';
  if (!little && !big) return kOrientationAsStored;
  const TiffReader reader(tiff, big);
  if (reader.u16(2) != kTiffMagic) return kOrientationAsStored;
  const std::size_t directory = reader.u32(4);
  if (!reader.fits(directory, 2)) return kOrientationAsStored;
  const std::size_t entries = reader.u16(directory);
  for (std::size_t i = 0; i < entries; ++i) {
    const std::size_t entry = directory + 2 + i * kEntrySize;
    if (!reader.fits(entry, kEntrySize)) return kOrientationAsStored;
    if (reader.u16(entry) != kOrientationTag) continue;
    // A short fits in the entry's value field, at its start in either order.
    const int value = reader.u16(entry + 8);
    const bool valid = reader.u16(entry + 2) == kShortType && reader.u32(entry + 4) >= 1 &&
                       value >= 1 && value <= kOrientations;
    return valid ? value : kOrientationAsStored;
  }
  return kOrientationAsStored;
}

}  // namespace tintrod
