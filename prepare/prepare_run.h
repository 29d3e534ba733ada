// One run of tintrod-prepare: read the picture, prepare it for the slot,
// write the bitmap whole or not at all.
#pragma once

#include <span>
#include <string>

#include "util/status.h"

namespace tintrod {

// `arguments` excludes the program name.
Status runPrepare(std::span<const std::string> arguments);

}  // namespace tintrod
