#include "util/failure.h"

#include <cstdint>

#include "util/picture_limits.h"
#include "util/skin_slot_table.h"

namespace tintrod {
namespace {

// The lines state the limits in whole units.
constexpr std::int64_t kMebi = std::int64_t{1} << 20;
static_assert(kMaxPicturePixels % kMebi == 0 && std::int64_t(kMaxPictureFileSize) % kMebi == 0 &&
              kMaxPictureMemory % kMebi == 0);

std::string mebi(std::int64_t count) { return std::to_string(count / kMebi); }

// Every slot's `name` in command-line order, `between` each two and `last`
// before the ninth.
std::string slotNames(const char* SkinSlot::*name, std::string_view between,
                      std::string_view last) {
  std::string names;
  for (const SkinSlot& slot : kSkinSlots) {
    if (!names.empty()) names += &slot == &kSkinSlots.back() ? last : between;
    names += slot.*name;
  }
  return names;
}

std::string lineFormat(Failure failure) {
  switch (failure) {
    case Failure::kUsage:
      return "usage tintrod " + slotNames(&SkinSlot::argumentName, " ", " ") + "\n";
    case Failure::kBitmapOpen:
      return "can't open bitmap file %s\n";
    case Failure::kBitmapWidth:
      return "invalid width for bitmap %s\n";
    case Failure::kBitmapHeight:
      return "invalid height for bitmap %s\n";
    case Failure::kBitmapDepth:
      return "invalid color depth for bitmap %s\n";
    case Failure::kBitmapCorrupt:
      return "bitmap file %s is corrupt\n";
    case Failure::kTemplateMissing:
      return "can't find cue stick obp file\n";
    case Failure::kTemplateCorrupt:
      return "cue stick file is corrupt\n";
    case Failure::kTextureMissing:
      return "Can't find texture in template\n";
    case Failure::kOutputOpen:
      return "can't open new cue obp file\n";
    case Failure::kExtractUsage:
      return "usage tintrod-extract [--force] [--sheet FILE] [MODEL] [DIR]\n";
    case Failure::kModelMissing:
      return "can't find model file %s\n";
    case Failure::kModelNotPermitted:
      return "can't read model file %s: not permitted\n";
    case Failure::kModelFolder:
      return "model file %s is a folder; give the cue model's .obp file\n";
    case Failure::kModelRead:
      return "can't read model file %s\n";
    case Failure::kFolderCreate:
      return "can't create folder %s\n";
    case Failure::kFileWrite:
      return "can't write file %s\n";
    case Failure::kSheetTooLarge:
      return "sheet %s would be too large\n";
    case Failure::kWriteOverModel:
      return "can't write over model file %s\n";
    case Failure::kFileExists:
      return "file %s exists; --force replaces it\n";
    case Failure::kSheetOverTexture:
      return "sheet %s would replace a texture\n";
    case Failure::kPrepareUsage:
      return "usage tintrod-prepare [--dither] [--fit crop|pad|stretch] [--background RRGGBB] "
             "{PICTURE SLOT OUTPUT | --into DIR PICTURE...}\n";
    case Failure::kPictureRead:
      return "can't read picture %s\n";
    case Failure::kPictureMissing:
      return "can't find picture %s\n";
    case Failure::kPictureNotPermitted:
      return "can't read picture %s: not permitted\n";
    case Failure::kPictureFolder:
      return "picture %s is a folder; give a picture file\n";
    case Failure::kPictureDecode:
      return "can't decode picture %s; use a PNG, JPEG, HEIC, WebP, BMP, GIF or TGA file\n";
    case Failure::kPictureTooLarge:
      // The limits of formats other than JPEG.
      return "picture %s is too large; the limit is " + mebi(kMaxPicturePixels) + " megapixels, " +
             std::to_string(kMaxPictureSide) + " pixels a side and " +
             mebi(std::int64_t(kMaxPictureFileSize)) + " MiB\n";
    case Failure::kJpegTooLarge:
      return "picture %s is too large; a JPEG may hold at most " + mebi(kMaxPictureMemory) +
             " MiB while it is prepared\n";
    case Failure::kUnknownSlot:
      return "unknown slot %s; use " + slotNames(&SkinSlot::argumentName, ", ", ", ") +
             " or a size WxH\n";
    case Failure::kWriteOverPicture:
      return "can't write over picture %s\n";
    case Failure::kOutputNotBitmap:
      return "can't replace %s, not an 8-bit BMP of the slot's size\n";
    case Failure::kPictureNamesNoSlot:
      return "picture %s names no part; name it " + slotNames(&SkinSlot::partName, ", ", " or ") +
             " (or its slot, as shaftbmp)\n";
    case Failure::kPicturesShareSlot:
      return "pictures %s are for the same slot; give it one\n";
    case Failure::kPictureNamesTwoParts:
      // The path carries "PICTURE names both PART and PART".
      return "picture %s; name it after one part\n";
    case Failure::kOutputNotBmpName:
      return "can't write a BMP under the name %s; end it in .bmp\n";
    case Failure::kModelEmpty:
      return "model file %s is empty\n";
    case Failure::kModelNotCueModel:
      return "model file %s is not a cue model\n";
    case Failure::kModelCorrupt:
      return "model file %s is corrupt\n";
    case Failure::kFolderUnquotable:
      return "folder %s can't be named in a command for both cmd and PowerShell; use a name "
             "without quotes, %, !, $ or `\n";
    case Failure::kNoPictureMatches:
      return "no picture matches %s\n";
    case Failure::kPicturesInFolder:
      return "picture %s is a folder; give the pictures in it, each named after its part\n";
    case Failure::kOutOfMemory:
      return "not enough memory; close other programs and try again\n";
    case Failure::kStandardOutputLost:
      return "can't write standard output\n";
    case Failure::kInternal:
      return "internal error; please report it\n";
  }
  return "cue stick file is corrupt\n";
}

}  // namespace

std::string failureLine(Failure failure, std::string_view path) {
  const std::string format = lineFormat(failure);
  std::string line;
  const auto placeholder = format.find("%s");
  if (placeholder == std::string::npos) {
    line = format;
  } else {
    line.append(format.substr(0, placeholder)).append(path).append(format.substr(placeholder + 2));
  }
  return line;
}

}  // namespace tintrod
