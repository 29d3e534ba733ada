// Writes every record's palette and pixel block over a byte copy of the
// template, at the positions the "LTXH" layout gives them.
#pragma once

#include <cstdio>

#include "template/texture_table.h"

namespace tintrod {

// `output` is open for binary reading and writing; its position on entry does
// not matter. Returns false when any seek, read or write falls short; an
// empty table touches nothing and succeeds.
[[nodiscard]] bool patchTextures(std::FILE* output, const TextureTable& table);

}  // namespace tintrod
