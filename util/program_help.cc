#include "util/program_help.h"

namespace tintrod {

HelpRequest helpRequested(std::span<const std::string> arguments) {
  HelpRequest request = HelpRequest::kNone;
  for (const std::string& argument : arguments) {
    if (argument == "--") break;
    // "/?" is how Windows programs are asked for help.
    if (argument == "-h" || argument == "--help" || argument == "/?") return HelpRequest::kHelp;
    if (argument == "--version") request = HelpRequest::kVersion;
  }
  return request;
}

std::string helpText(HelpRequest request, Failure usage, std::string_view description,
                     std::string_view program) {
  switch (request) {
    case HelpRequest::kHelp:
      return failureLine(usage) + "\n" + std::string(description);
    case HelpRequest::kVersion:
      return std::string(program) + " " + TINTROD_VERSION + "\n";
    case HelpRequest::kNone:
      break;
  }
  return {};
}

}  // namespace tintrod
