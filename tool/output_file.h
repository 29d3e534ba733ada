#pragma once

#include "template/texture_table.h"

namespace tintrod {

// Produces "cueNew.obp" as a copy of the template with every record of
// `table` patched in. The file appears whole or not at all: the copy is
// patched under a temporary name and renamed into place, so a failure leaves
// any earlier "cueNew.obp" exactly as it was.
void writeSkinnedCopy(const TextureTable& table);

}  // namespace tintrod
