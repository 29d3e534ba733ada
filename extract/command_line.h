#pragma once

#include <optional>
#include <span>
#include <string>

#include "template/format.h"

namespace tintrod {

struct ExtractOptions {
  std::string model = kTemplateFileName;
  std::string folder;                // empty for the current folder
  std::optional<std::string> sheet;  // --sheet FILE
};

// `arguments` excludes the program name: [--sheet FILE] [MODEL] [DIR], the
// option anywhere, "--" ending options. Nothing when they do not fit.
std::optional<ExtractOptions> parseExtractArguments(std::span<const std::string> arguments);

}  // namespace tintrod
