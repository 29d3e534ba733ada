#pragma once

#include <string>

#include "template/texture_table.h"

namespace tintrod {

// Produces "cueNew.obp" as a copy of the template with every record of
// `table` patched in. The file appears whole or not at all: the copy is
// patched under a temporary name and renamed into place, so a failure leaves
// any earlier "cueNew.obp" exactly as it was.
void writeSkinnedCopy(const TextureTable& table);

// The name the copy is patched under: beside the output, so that the final
// rename never crosses file systems, and unique to this process.
std::string temporaryOutputName();

}  // namespace tintrod
