#include "extract/command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <vector>

#include "util/failure.h"
#include "util/program_help.h"

namespace tintrod {
namespace {

constexpr std::size_t kMaxPositionals = 2;  // MODEL and DIR

constexpr char kDescription[] =
    R"(Lists the textures of a cue model (MODEL, by default cueTemplate.obp) and writes
each one into DIR (by default the current folder) as 8-bit BMP files: NAME.bmp,
NAME.mip1.bmp and NAME.mip2.bmp. A file that already holds other content is
left alone and the run refused, unless --force is given; the model itself is
never written over.

  --sheet FILE  also write FILE, a 24-bit BMP picture of every texture, labelled
  --force       replace existing files whose content differs
  -h, --help    show this help
  --version     show the version
  --            end the options, for a MODEL whose name starts with a dash
)";

}  // namespace

Result<ExtractCommand> parseExtractArguments(std::span<const std::string> arguments) {
  if (std::optional<std::string> help =
          helpAskedFor(arguments, Failure::kExtractUsage, kDescription, "tintrod-extract")) {
    return ExtractCommand::printing(std::move(*help));
  }
  ExtractOptions options;
  std::vector<std::string> positionals;
  CLI::App app;
  // Every refusal ends in the one usage line rather than CLI11's own messages.
  app.set_help_flag();
  // On Windows CLI11 would take /photos/cue.jpg for an option; it is a path.
  app.allow_windows_style_options(false);
  app.add_flag("--force", options.force);
  app.add_option("--sheet", options.sheet);
  app.add_option("positionals", positionals)->expected(0, static_cast<int>(kMaxPositionals));
  // CLI11 takes the arguments last first.
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError&) {
    return Status(Failure::kExtractUsage);
  }
  if (!positionals.empty()) options.model = positionals[0];
  if (positionals.size() > 1) options.folder = positionals[1];
  return ExtractCommand(std::move(options));
}

}  // namespace tintrod
