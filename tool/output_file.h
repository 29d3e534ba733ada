#pragma once

#include "template/texture_table.h"
#include "util/input_file.h"
#include "util/status.h"

namespace tintrod {

// Produces "cueNew.obp" as a copy of the template with every record of
// `table` patched in. The copy is taken from `templateFile`, the one open
// template the table was read from, up to the length that was checked, so
// replacing the template's name meanwhile changes nothing. The file appears
// whole and flushed to disk, or not at all: a failure leaves any earlier
// "cueNew.obp" exactly as it was and nothing beside it.
Status writeSkinnedCopy(const TextureTable& table, const InputFile& templateFile);

}  // namespace tintrod
