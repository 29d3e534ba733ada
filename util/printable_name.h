// Names read from an untrusted model, made safe to show on a terminal.
#pragma once

#include <string>
#include <string_view>

namespace tintrod {

// The name with bytes outside printable ASCII, and the backslash, shown as
// \xNN: a control sequence in a name cannot retitle or clear a terminal.
std::string printableName(std::string_view name);

}  // namespace tintrod
