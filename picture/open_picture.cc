#include <algorithm>
#include <array>
#include <climits>

#include "picture/formats.h"
#include "picture/picture_reader.h"
#include "util/picture_limits.h"

namespace tintrod {
namespace {

struct FormatEntry {
  bool (*recognises)(std::span<const std::uint8_t> file);
  std::unique_ptr<PictureReader> (*open)(std::span<const std::uint8_t> file);
};

constexpr std::array<FormatEntry, 6> kSignedFormats = {{
    {isPngFile, openPng},
    {isJpegFile, openJpeg},
    {isGifFile, openGif},
    {isBmpFile, openBmp},
    {isWebpFile, openWebp},
    {isHeifFile, openHeif},
}};

std::unique_ptr<PictureReader> openAnyFormat(std::span<const std::uint8_t> file) {
  for (const FormatEntry& format : kSignedFormats) {
    if (format.recognises(file)) return format.open(file);
  }
  return openTga(file);
}

}  // namespace

Result<std::unique_ptr<PictureReader>> openPicture(std::span<const std::uint8_t> file) {
  // The libraries take a file's length as an int.
  if (file.size() > kMaxPictureFileSize || file.size() > std::size_t{INT_MAX}) {
    return Status(Failure::kPictureTooLarge);
  }
  std::unique_ptr<PictureReader> reader = openAnyFormat(file);
  if (reader == nullptr) return Status(Failure::kPictureDecode);
  return reader;
}

bool inPictureFormat(std::span<const std::uint8_t> file) {
  return std::any_of(kSignedFormats.begin(), kSignedFormats.end(),
                     [file](const FormatEntry& format) { return format.recognises(file); }) ||
         openTga(file) != nullptr;
}

std::optional<PictureSize> declaredPictureSize(std::span<const std::uint8_t> file) {
  const Result<std::unique_ptr<PictureReader>> reader = openPicture(file);
  if (!reader.ok()) return std::nullopt;
  const PictureInfo& info = (*reader)->info();
  if (orientationSwapsSides(info.orientation)) return PictureSize{info.height, info.width};
  return PictureSize{info.width, info.height};
}

DecodedPicture decodePicture(std::span<const std::uint8_t> file, const DecodeTarget& target,
                             const Colour& background) {
  Result<std::unique_ptr<PictureReader>> reader = openPicture(file);
  if (!reader.ok()) return reader.status();
  if (Status checked = (*reader)->check(target); !checked.ok()) return checked;
  return (*reader)->decode(target, background);
}

}  // namespace tintrod
