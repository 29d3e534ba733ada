// Stand-in for os::NewFile until the seam lands.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tintrod {

// Writes `bytes` as the file at `path`, whole or not at all.
[[nodiscard]] bool writeWholeFile(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace tintrod
