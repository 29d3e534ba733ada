#include "prepare/command_line.h"

#include <CLI/CLI.hpp>
#include <map>
#include <vector>

namespace tintrod {
namespace {

const std::map<std::string, Fit> kFits = {
    {"stretch", Fit::kStretch},
    {"crop", Fit::kCrop},
    {"pad", Fit::kPad},
};

}  // namespace

std::optional<PrepareCommand> parsePrepareArguments(std::span<const std::string> arguments) {
  CLI::App app(
      "Turns a PNG, JPEG, BMP, GIF or TGA picture into an 8-bit BMP of a slot's size that "
      "tintrod takes. Alpha is composited over black.",
      "tintrod-prepare");
  PrepareArguments parsed;
  app.add_flag("--dither", parsed.options.dither,
               "Diffuse the quantization error (Floyd-Steinberg); off by default, since dither "
               "noise shimmers on mip-mapped textures");
  std::string fit = "crop";
  app.add_option("--fit", fit,
                 "crop (default) to cover the slot, pad to fit inside, or stretch to its size")
      ->check(CLI::IsMember(kFits))
      ->option_text("stretch|crop|pad");
  app.add_option("PICTURE", parsed.picture, "The picture to prepare")->required();
  app.add_option("SLOT", parsed.slot,
                 "A tintrod argument name (shaftbmp), a texture name (zbshaft), or WxH")
      ->required();
  app.add_option("OUTPUT", parsed.output, "The 8-bit BMP to write")->required();
  app.set_version_flag("--version", "tintrod-prepare " TINTROD_VERSION);

  // CLI11 consumes its arguments from the back.
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    return PrepareCommand{std::nullopt, app.help()};
  } catch (const CLI::CallForVersion& version) {
    return PrepareCommand{std::nullopt, std::string(version.what()) + "\n"};
  } catch (const CLI::ParseError&) {
    return std::nullopt;
  }
  parsed.options.fit = kFits.at(fit);
  return PrepareCommand{std::move(parsed), {}};
}

}  // namespace tintrod
