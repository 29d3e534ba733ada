#include "prepare/command_line.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <map>

#include "util/failure.h"
#include "util/program_help.h"

namespace tintrod {
namespace {

const std::map<std::string, Fit> kFits = {
    {"stretch", Fit::kStretch},
    {"crop", Fit::kCrop},
    {"pad", Fit::kPad},
};

constexpr std::size_t kSingleForm = 3;  // PICTURE SLOT OUTPUT

constexpr char kDescription[] =
    R"(Turns JPEG, HEIC, PNG, WebP, BMP, GIF or TGA pictures into the 8-bit BMP
files tintrod takes, each of its slot's size. SLOT is a tintrod argument
(shaftbmp), a texture name (zbshaft), the part's name (shaft) or a size WxH.
With --into, each PICTURE goes to the slot its file name names (shaft.jpg,
zbshaft.png, shaftbmp.bmp) and is written to DIR/ARGUMENT.bmp; each part's
line then says what it wears, and the tintrod command that skins with them
follows (or, while DIR lacks textures, the tintrod-extract command that
provides them). A phone photo turned by its camera comes out upright.
Nothing is written unless every picture can be.

  --fit crop|pad|stretch  crop to cover the slot (default), pad to fit
                          inside it, or stretch to its shape
  --background RRGGBB     the colour behind transparent parts and padding,
                          in hex (default 000000)
  --dither                diffuse the colour error; off by default, since
                          dither noise shimmers on mip-mapped textures
  --into DIR              prepare every PICTURE into DIR, by its name
  -h, --help              show this help
  --version               show the version
  --                      end the options, for a PICTURE starting with a dash
)";

}  // namespace

std::vector<std::string> droppedPicturesCommand(std::span<const std::string> pictures) {
  std::string folder = "textures";
  if (!pictures.empty()) {
    const std::string& first = pictures.front();
    const std::size_t folderEnd = first.find_last_of("/\\");
    if (folderEnd != std::string::npos) folder.insert(0, first.substr(0, folderEnd + 1));
  }
  std::vector<std::string> arguments = {"--into", folder};
  arguments.insert(arguments.end(), pictures.begin(), pictures.end());
  return arguments;
}

std::optional<Colour> parseColour(std::string_view text) {
  if (text.starts_with('#')) text.remove_prefix(1);
  constexpr std::size_t kDigits = 6;
  if (text.size() != kDigits) return std::nullopt;
  Colour colour{};
  for (std::size_t channel = 0; channel < colour.size(); ++channel) {
    const char* first = text.data() + 2 * channel;
    unsigned value = 0;
    const auto [stop, error] = std::from_chars(first, first + 2, value, 16);
    if (error != std::errc{} || stop != first + 2 || *first == '+' || *first == '-') {
      return std::nullopt;
    }
    colour[channel] = static_cast<std::uint8_t>(value);
  }
  return colour;
}

Result<PrepareCommand> parsePrepareArguments(std::span<const std::string> arguments) {
  if (std::optional<std::string> help =
          helpAskedFor(arguments, Failure::kPrepareUsage, kDescription, "tintrod-prepare")) {
    return PrepareCommand::printing(std::move(*help));
  }
  CLI::App app;
  // Every refusal ends in the one usage line rather than CLI11's own messages.
  app.set_help_flag();
  // On Windows CLI11 would take /photos/cue.jpg for an option; it is a path.
  app.allow_windows_style_options(false);
  PrepareArguments parsed;
  app.add_flag("--dither", parsed.options.dither);
  std::string fit;
  CLI::Option* fitOption = app.add_option("--fit", fit)->check(CLI::IsMember(kFits));
  std::string background;
  CLI::Option* backgroundOption = app.add_option("--background", background);
  std::string into;
  CLI::Option* intoOption = app.add_option("--into", into);
  std::vector<std::string> positionals;
  app.add_option("positionals", positionals);

  const Status usage(Failure::kPrepareUsage);
  // CLI11 consumes its arguments from the back.
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError&) {
    return usage;
  }
  // Without --fit or --background, PrepareOptions' own defaults hold.
  if (fitOption->count() > 0) parsed.options.fit = kFits.at(fit);
  if (backgroundOption->count() > 0) {
    const auto colour = parseColour(background);
    if (!colour) return usage;
    parsed.options.background = *colour;
  }
  if (intoOption->count() > 0) {
    if (positionals.empty()) return usage;
    parsed.into = into;
    parsed.pictures = std::move(positionals);
  } else {
    if (positionals.size() != kSingleForm) return usage;
    parsed.picture = positionals[0];
    parsed.slot = positionals[1];
    parsed.output = positionals[2];
  }
  return PrepareCommand(std::move(parsed));
}

}  // namespace tintrod
