// Which part of the cue a picture is for, by its file name: people name
// photos after the part in their own words, and file managers add copy marks
// to them. The command line's --into and the page's drop both ask here, so
// that a name means the same part in both.
#pragma once

#include <string_view>

#include "template/skin_slots.h"

namespace tintrod {

// What a file name names: one part (`first` alone), two (`first` and
// `second`, in the order the name gives them), or none.
struct NamedParts {
  const SkinSlot* first = nullptr;
  const SkinSlot* second = nullptr;

  // Exactly one part.
  const SkinSlot* part() const { return second == nullptr ? first : nullptr; }
};

// The parts `path` names by its file name, without folder and extension, in
// any letter case, with separators ignored: a part name (`point inlay 1`), a
// short form (`point 1`, `inlay 1`, `connect`, `rubber`), a slot (`pointbmp1`)
// or a texture (`zb1a_256`), followed by any copy marks (`(1)`, `copy`,
// `- Copy`, a number, a date). Two names joined (`wrap and butt`) name two.
NamedParts partsNamedBy(std::string_view path);

}  // namespace tintrod
