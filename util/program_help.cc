#include "util/program_help.h"

namespace tintrod {

std::optional<std::string> helpAskedFor(std::span<const std::string> arguments, Failure usage,
                                        std::string_view description, std::string_view program) {
  bool version = false;
  for (const std::string& argument : arguments) {
    if (argument == "--") break;
    // "/?" is how Windows programs are asked for help.
    if (argument == "-h" || argument == "--help" || argument == "/?") {
      return failureLine(usage) + "\n" + std::string(description);
    }
    if (argument == "--version") version = true;
  }
  if (version) return std::string(program) + " " + TINTROD_VERSION + "\n";
  return std::nullopt;
}

}  // namespace tintrod
