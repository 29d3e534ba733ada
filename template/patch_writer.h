// Writes every record's palette and pixel block over a byte copy of the
// template, at the positions the "LTXH" layout gives them.
#pragma once

#include "os/os.h"
#include "template/texture_table.h"

namespace tintrod {

// `output` holds the copy. Only the palettes and pixel blocks are written: the
// words between the blocks keep the template's bytes. Fails, with the copy
// untouched, when it is too short to hold the table, and when a write falls
// short; an empty table touches nothing and succeeds.
SystemStatus patchTextures(os::NewFile& output, const TextureTable& table);

}  // namespace tintrod
