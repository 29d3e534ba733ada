// tintrod-prepare --into DIR PICTURE...: each picture's file name names its
// slot, each is written to DIR/ARGUMENT.bmp, and what each part now wears is
// printed with the tintrod command that skins with them.
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

// What the run leaves each part, one line per slot (the picture given for it,
// the texture it keeps, or that `folder` holds none for it), then the
// tintrod command that skins with them: a slot given now takes
// DIR/ARGUMENT.bmp; another the first of DIR/ARGUMENT.bmp and DIR/TEXTURE.bmp
// (as tintrod-extract names it) that `exists`. When a slot has neither, the
// tintrod-extract command that provides them comes instead.
// Each line ends with its newline.
std::vector<std::string> intoSummary(const std::string& folder, std::span<const SlotPicture> given,
                                     bool (*exists)(const std::string& path),
                                     os::ShellQuoting quoting);

// `word` as the shells of `quoting` read it back unchanged: a plain word as
// it stands, any other in single quotes for a POSIX shell, in double quotes
// for cmd and PowerShell. Null when cmd and PowerShell cannot both read it.
std::optional<std::string> shellWord(std::string_view word, os::ShellQuoting quoting);

// The whole run.
Status prepareInto(const PrepareArguments& run);

}  // namespace tintrod
