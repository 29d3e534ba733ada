// What tintrod-extract and tintrod-prepare answer to -h, --help and
// --version, in one style: the usage line, then a short description; or the
// program and its version. tintrod itself has a fixed interface and asks none.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "util/failure.h"

namespace tintrod {

enum class HelpRequest { kNone, kHelp, kVersion };

// -h, --help or /? anywhere before "--" asks for help, and wins over --version,
// so that a command line with a typo still ends in help.
HelpRequest helpRequested(std::span<const std::string> arguments);

// The text a request prints: `usage`'s line and `description`, or
// "PROGRAM VERSION". Nothing for kNone.
std::string helpText(HelpRequest request, Failure usage, std::string_view description,
                     std::string_view program);

}  // namespace tintrod
