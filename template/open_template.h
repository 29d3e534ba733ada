// The template as the programs that read it open it: by its fixed name in the
// current folder, its header checked before anything else is read.
#pragma once

#include "util/input_file.h"
#include "util/status.h"

namespace tintrod {

// Opens "cueTemplate.obp" and checks its header's version word, leaving the
// stream at the first chunk. Fails when the template is missing, too short
// for its header, or of an unsupported version.
Result<InputFile> openTemplate();

}  // namespace tintrod
