// tintrod-prepare's arguments: [--dither] [--fit stretch|crop|pad]
// [--background RRGGBB] and either PICTURE SLOT OUTPUT or --into DIR
// PICTURE..., options anywhere, "--" ending them; -h, --help and --version.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "prepare/prepare_picture.h"
#include "util/command.h"
#include "util/status.h"

namespace tintrod {

struct PrepareArguments {
  // One picture for one slot, written to `output`.
  std::string picture;
  std::string slot;
  std::string output;
  // --into DIR: every picture goes to DIR, each to the slot its name names.
  std::optional<std::string> into;
  std::vector<std::string> pictures;
  PrepareOptions options;
};

using PrepareCommand = Command<PrepareArguments>;

// `arguments` excludes the program name. kPrepareUsage when they do not fit.
Result<PrepareCommand> parsePrepareArguments(std::span<const std::string> arguments);

// Pictures dropped onto the program in Explorer: prepared --into a folder
// "textures" beside the first of them.
std::vector<std::string> droppedPicturesCommand(std::span<const std::string> pictures);

// "#RRGGBB" or "RRGGBB" (a shell takes an unquoted word starting with '#'
// for a comment), hex digits in either case.
std::optional<Colour> parseColour(std::string_view text);

}  // namespace tintrod
