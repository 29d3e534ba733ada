// Which fixed line each program prints when the system refuses one of its
// operations: one table a program, so that the same refusal gets the same
// line wherever the program (or the page, which runs tintrod's pass and
// tintrod-prepare's preparation) meets it, and no caller guesses why.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "util/status.h"

namespace tintrod {

// What a program was doing when the seam refused.
enum class Operation {
  kReadTemplate,  // tintrod's cueTemplate.obp
  kReadBitmap,    // a slot's bitmap, by tintrod and the page
  kWriteOutput,   // tintrod's cueNew.obp
  kReadModel,     // tintrod-extract's model
  kReadPicture,   // tintrod-prepare's and the page's pictures
  kWriteFile,     // an extracted or prepared file
  kMakeFolder,    // a folder the outputs go into
  kEnterFolder,   // the page's folder of a model or a picture
};

struct FailureRow {
  Operation operation;
  // Nothing: every kind no earlier row of the operation names.
  std::optional<SystemErrorKind> kind;
  Failure failure;
};

using FailureTable = std::span<const FailureRow>;

extern const FailureTable kSkinFailures;
extern const FailureTable kExtractFailures;
extern const FailureTable kPrepareFailures;

// The first row of `table` for `operation` and the refusal's kind, as a
// Status naming `path` and keeping what the system said; kInternal when the
// table has none (a fault the tables' test finds).
Status failureFor(FailureTable table, Operation operation, const SystemStatus& refused,
                  std::string_view path = {});

}  // namespace tintrod
