// tintrod-prepare --into DIR PICTURE...: each picture's file name names its
// slot, each is written to DIR/ARGUMENT.bmp, and the tintrod command that
// skins with them is printed.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "os/os.h"
#include "prepare/command_line.h"
#include "template/skin_slots.h"
#include "util/status.h"

namespace tintrod {

struct SlotPicture {
  std::string picture;
  const SkinSlot* slot;
};

// The slot each picture is for, by its file name without folder and
// extension. Fails with kPictureNamesNoSlot or kPicturesShareSlot before any
// picture is read.
Result<std::vector<SlotPicture>> matchPicturesToSlots(std::span<const std::string> pictures);

// The tintrod command line for `folder`: a slot given now takes
// DIR/ARGUMENT.bmp; another takes the first of DIR/ARGUMENT.bmp and
// DIR/TEXTURE.bmp (as tintrod-extract names it) that `exists`, or else its
// bare argument name, for the user to fill in.
std::string skinCommand(const std::string& folder, std::span<const SlotPicture> given,
                        bool (*exists)(const std::string& path), os::ShellQuoting quoting);

// `word` as the shells of `quoting` read it back unchanged: a plain word as
// it stands, any other in single quotes for a POSIX shell, in double quotes
// for cmd and PowerShell. Null when cmd and PowerShell cannot both read it.
std::optional<std::string> shellWord(std::string_view word, os::ShellQuoting quoting);

// The whole run.
Status prepareInto(const PrepareArguments& run);

}  // namespace tintrod
