// One run of tintrod-prepare: read the picture, prepare it for the slot,
// write the bitmap whole or not at all. Failures end the run through fail().
#pragma once

#include <span>
#include <string>

namespace tintrod {

// `arguments` excludes the program name; returns the exit status.
int runPrepare(std::span<const std::string> arguments);

}  // namespace tintrod
