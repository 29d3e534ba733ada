// What tintrod-extract and tintrod-prepare answer to -h, --help and
// --version, in one style: the usage line, then a short description; or the
// program and its version. tintrod itself has a fixed interface and asks none.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "util/failure.h"

namespace tintrod {

// The text `program` prints instead of running: `usage`'s line, a blank line
// and `description` for -h, --help or /? anywhere before "--"; otherwise
// "PROGRAM VERSION" for --version. Help wins over the version, so that a
// command line with a typo still ends in help. Nothing when neither is asked.
std::optional<std::string> helpAskedFor(std::span<const std::string> arguments, Failure usage,
                                        std::string_view description, std::string_view program);

}  // namespace tintrod
