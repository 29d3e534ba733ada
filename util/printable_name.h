// Names from untrusted sources (a model's textures, the paths a user typed or
// a shell expanded), made safe to show on a terminal.
#pragma once

#include <string>
#include <string_view>

namespace tintrod {

// The name with bytes outside printable ASCII shown as \xNN: a control
// sequence in a name cannot retitle or clear a terminal. The backslash stays
// itself, as every Windows path holds one.
std::string printableName(std::string_view name);

// A line as the programs print it. On a terminal, every name in it goes
// through printableName (the line's own words are printable ASCII already),
// its ending newline kept; anywhere else it stays byte for byte, as scripts
// read it.
std::string shownLine(std::string_view line);

}  // namespace tintrod
