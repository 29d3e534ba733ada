// Names from untrusted sources (a model's textures, the paths a user typed or
// a shell expanded), made safe to show on a terminal.
#pragma once

#include <string>
#include <string_view>

namespace tintrod {

// Which bytes beyond printable ASCII a name may keep: none where columns
// must line up (the listing, the sheet's labels), or whole UTF-8 letters
// where a person reads a path they typed (cafe with its accent, say).
enum class Letters { kAscii, kUtf8 };

// The name with every other byte shown as \xNN: a control sequence (C0, DEL,
// or C1 written as UTF-8) or a broken UTF-8 sequence in a name cannot
// retitle or clear a terminal. The backslash stays itself, as every Windows
// path holds one.
std::string printableName(std::string_view name, Letters letters = Letters::kAscii);

// A line as the programs print it. On a terminal, every name in it goes
// through printableName keeping UTF-8 letters (the line's own words are
// printable ASCII already), its ending newline kept; anywhere else it stays
// byte for byte, as scripts read it.
std::string shownLine(std::string_view line);

}  // namespace tintrod
