#include "extract/command_line.h"

#include <vector>

namespace tintrod {
namespace {

constexpr std::size_t kMaxPositionals = 2;  // MODEL and DIR

}  // namespace

std::optional<ExtractOptions> parseExtractArguments(std::span<const std::string> arguments) {
  ExtractOptions options;
  std::vector<std::string> positionals;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument.empty() || argument[0] != '-') {
      positionals.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "--sheet" && i + 1 < arguments.size() && !options.sheet) {
      options.sheet = arguments[++i];
    } else {
      return std::nullopt;
    }
  }
  if (positionals.size() > kMaxPositionals) return std::nullopt;
  if (!positionals.empty()) options.model = positionals[0];
  if (positionals.size() > 1) options.folder = positionals[1];
  return options;
}

}  // namespace tintrod
