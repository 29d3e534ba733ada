#pragma once

#include <span>
#include <string>

#include "util/status.h"

namespace tintrod {

class ChunkTableReader;

// The whole of tintrod-extract: reads the model's texture table through
// `reader`, lists it, writes every texture's levels as BMP files and, when
// asked, the contact sheet. `arguments` excludes the program name.
Status runExtract(std::span<const std::string> arguments, ChunkTableReader& reader);

}  // namespace tintrod
