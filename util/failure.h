// Every way the programs can fail, and the one fixed line each prints on
// standard output before its program exits with status 1. Operations return
// them in a Status (util/status.h).
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
  // tintrod-extract's own; running out of memory is kTemplateCorrupt there
  // too, as a model's own tables size its allocations.
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
  // A JPEG has no size limit of its own, only the memory its decoding holds.
  kJpegTooLarge,
  kUnknownSlot,
  kWriteOverPicture,
  kOutputNotBitmap,
  // --into: a picture's name must name one slot, and one picture a slot.
  kPictureNamesNoSlot,
  kPicturesShareSlot,
  kPictureNamesTwoParts,
  // An output that would be a BMP under another picture format's name.
  kOutputNotBmpName,
  // tintrod-extract's refusals of a model, which name it.
  kModelEmpty,
  kModelNotCueModel,
  kModelCorrupt,
  // --into on Windows: the printed command could not name the folder safely.
  kFolderUnquotable,
  // --into: a wildcard the shell left unexpanded, and a folder given whole.
  kNoPictureMatches,
  kPicturesInFolder,
  // Memory that runs out outside reading and decoding a picture.
  kOutOfMemory,
  // Every program's: standard output could not take what the run printed.
  // The one line shown on standard error, where it may still be read.
  kStandardOutputLost,
  // A fault of the program's own, caught at its entry rather than ending the
  // process: something thrown that nothing meant to throw, a table without a
  // row for what the system refused.
  kInternal,
};

// The exact line, newline included; failures that name a file carry its path
// as typed.
std::string failureLine(Failure failure, std::string_view path = {});

}  // namespace tintrod
