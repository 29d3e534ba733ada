#pragma once

#include <optional>
#include <span>
#include <string>

#include "template/format.h"

namespace tintrod {

struct ExtractOptions {
  enum class Request { kExtract, kHelp, kVersion };

  Request request = Request::kExtract;
  std::string model = kTemplateFileName;
  std::string folder;                // empty for the current folder
  std::optional<std::string> sheet;  // --sheet FILE
  bool force = false;                // --force: replace files whose content differs
};

// `arguments` excludes the program name: [--force] [--sheet FILE] [MODEL]
// [DIR], options anywhere, "--" ending them; --help or --version anywhere
// asks for that instead. Nothing when they do not fit.
std::optional<ExtractOptions> parseExtractArguments(std::span<const std::string> arguments);

// What --help and --version print.
std::string extractHelp();
std::string extractVersion();

}  // namespace tintrod
