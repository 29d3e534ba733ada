// Writes every record's palette and pixel block over a byte copy of the
// template, at the positions the "LTXH" layout gives them.
#pragma once

#include <cstdio>

#include "template/texture_table.h"

namespace tintrod {

// `output` is open for writing (reading is never needed) and its position on
// entry does not matter. Only writes reach the file: the words between the
// blocks are sought past. Returns false, with the file untouched, when it is
// too short to hold the table, and false when a seek or write falls short; an
// empty table touches nothing and succeeds.
[[nodiscard]] bool patchTextures(std::FILE* output, const TextureTable& table);

}  // namespace tintrod
