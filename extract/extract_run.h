#pragma once

#include <span>
#include <string>

namespace tintrod {

class ChunkTableReader;

// The whole of tintrod-extract: reads the model's texture table through
// `reader`, lists it, writes every texture's levels as BMP files and, when
// asked, the contact sheet. `arguments` excludes the program name. Returns
// the exit status of a completed run; every failure ends the process itself.
int runExtract(std::span<const std::string> arguments, ChunkTableReader& reader);

}  // namespace tintrod
