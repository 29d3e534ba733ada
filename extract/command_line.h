#pragma once

#include <optional>
#include <span>
#include <string>

#include "template/format.h"
#include "util/command.h"
#include "util/status.h"

namespace tintrod {

struct ExtractOptions {
  std::string model = kTemplateFileName;
  std::string folder;                // empty for the current folder
  std::optional<std::string> sheet;  // --sheet FILE
  bool force = false;                // --force: replace files whose content differs
};

using ExtractCommand = Command<ExtractOptions>;

// `arguments` excludes the program name: [--force] [--sheet FILE] [MODEL]
// [DIR], options anywhere, "--" ending them; --help or --version anywhere
// asks for that instead. kExtractUsage when they do not fit.
Result<ExtractCommand> parseExtractArguments(std::span<const std::string> arguments);

}  // namespace tintrod
