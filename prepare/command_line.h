// tintrod-prepare's arguments: [--dither] [--fit stretch|crop|pad] PICTURE
// SLOT OUTPUT, options anywhere, "--" ending them; --help and --version.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "prepare/prepare_picture.h"

namespace tintrod {

struct PrepareArguments {
  std::string picture;
  std::string slot;
  std::string output;
  PrepareOptions options;
};

struct PrepareCommand {
  // Nothing when the arguments asked for help or the version instead.
  std::optional<PrepareArguments> arguments;
  // The help or version text to print then.
  std::string text;
};

// `arguments` excludes the program name. Nothing when they do not fit.
std::optional<PrepareCommand> parsePrepareArguments(std::span<const std::string> arguments);

}  // namespace tintrod
