#include "util/failure_tables.h"

namespace tintrod {
namespace {

using enum Operation;
using enum SystemErrorKind;

// tintrod's lines name no cause: the game's own tool printed one line each.
constexpr FailureRow kSkinRows[] = {
    {kReadTemplate, std::nullopt, Failure::kTemplateMissing},
    {kReadBitmap, std::nullopt, Failure::kBitmapOpen},
    {kWriteOutput, std::nullopt, Failure::kOutputOpen},
    {kEnterFolder, std::nullopt, Failure::kTemplateMissing},
};

constexpr FailureRow kExtractRows[] = {
    {kReadModel, kMissing, Failure::kModelMissing},
    {kReadModel, kNotPermitted, Failure::kModelNotPermitted},
    {kReadModel, kFolder, Failure::kModelFolder},
    {kReadModel, std::nullopt, Failure::kModelRead},
    {kWriteFile, std::nullopt, Failure::kFileWrite},
    {kMakeFolder, std::nullopt, Failure::kFolderCreate},
};

constexpr FailureRow kPrepareRows[] = {
    {kReadPicture, kMissing, Failure::kPictureMissing},
    {kReadPicture, kNotPermitted, Failure::kPictureNotPermitted},
    {kReadPicture, kFolder, Failure::kPictureFolder},
    // As for decoding: a machine that cannot hold the file is one it is too
    // large for.
    {kReadPicture, kTooLarge, Failure::kPictureTooLarge},
    {kReadPicture, std::nullopt, Failure::kPictureRead},
    {kWriteFile, std::nullopt, Failure::kFileWrite},
    {kMakeFolder, std::nullopt, Failure::kFolderCreate},
    {kEnterFolder, std::nullopt, Failure::kPictureRead},
};

}  // namespace

constinit const FailureTable kSkinFailures = kSkinRows;
constinit const FailureTable kExtractFailures = kExtractRows;
constinit const FailureTable kPrepareFailures = kPrepareRows;

Status failureFor(FailureTable table, Operation operation, const SystemStatus& refused,
                  std::string_view path) {
  // A success has no line: handing one over is this program's own fault, as
  // for a Result made from one.
  if (refused.ok()) return Status(Failure::kInternal);
  const SystemError error = refused.error();
  for (const FailureRow& row : table) {
    if (row.operation == operation && (!row.kind || *row.kind == error.kind)) {
      return Status(row.failure, path, error);
    }
  }
  return Status(Failure::kInternal, {}, error);
}

}  // namespace tintrod
