// Every way tintrod and tintrod-extract can fail. A failure prints one fixed
// line on standard output and ends the process with status 1; grep for
// `fail(` to list them all.
#pragma once

#include <string>
#include <string_view>

namespace tintrod {

enum class Failure {
  kUsage,
  kBitmapOpen,
  kBitmapWidth,
  kBitmapHeight,
  kBitmapDepth,
  kBitmapCorrupt,
  kTemplateMissing,
  kTemplateCorrupt,
  kTextureMissing,
  kOutputOpen,
  // tintrod-extract's own; a corrupt model is kTemplateCorrupt there too.
  kExtractUsage,
  kModelMissing,
  kModelNotPermitted,
  kModelFolder,
  kModelRead,
  kFolderCreate,
  kFileWrite,
  kSheetTooLarge,
  kWriteOverModel,
  kFileExists,
  kSheetOverTexture,
  // tintrod-prepare's own; an output it cannot write is kFileWrite.
  kPrepareUsage,
  kPictureRead,
  kPictureMissing,
  kPictureNotPermitted,
  kPictureFolder,
  kPictureDecode,
  kPictureTooLarge,
  kUnknownSlot,
  kWriteOverPicture,
  kOutputNotBitmap,
  // --into: a picture's name must name one slot, and one picture a slot.
  kPictureNamesNoSlot,
  kPicturesShareSlot,
};

// The exact line, newline included; failures that name a file carry its path
// as typed.
std::string failureLine(Failure failure, std::string_view path = {});

// Prints the failure's line and ends the process with status 1.
[[noreturn]] void fail(Failure failure, std::string_view path = {});

// The seam for tests and fuzzers: a handler sees the failure and its line and
// must not return normally (it may throw). The default handler prints the line
// and exits. Returns the handler it replaces.
using FailureHandler = void (*)(Failure failure, const std::string& line);
FailureHandler setFailureHandler(FailureHandler handler);

}  // namespace tintrod
