// A large template and nine slot bitmaps for timing and tracing whole runs:
// the nine slot textures among thirty others of assorted sizes, about 4 MiB.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tintrod::bench {

// The bitmap file names, in slot order, as the tool takes them.
inline constexpr std::array<const char*, 9> kLargeRunBitmaps = {
    "connect.bmp", "point1.bmp",  "point2.bmp", "point3.bmp", "wrap.bmp",
    "butt.bmp",    "ferrule.bmp", "shaft.bmp",  "bumper.bmp"};

enum class Pictures {
  kBanded,  // bands of one index between noise, few colours
  // Random palettes and random indices: no averaged colour is in the palette,
  // so every search for the mip levels runs its longest.
  kNoise,
};

// Writes "cueTemplate.obp" and the nine bitmaps into `folder`, which must
// exist; returns the template's size in bytes. Throws when a file cannot be
// written.
std::int64_t writeLargeRun(const std::filesystem::path& folder,
                           Pictures pictures = Pictures::kBanded);

// What one process cost: wall time from its start to its end, and its user
// and system time.
struct ProcessCost {
  double wallMs = 0;
  double cpuMs = 0;
};

// Runs `arguments` (the program first, looked up in PATH) in `folder` with
// its output discarded; nothing when it cannot start or exits other than with
// status 0.
std::optional<ProcessCost> runQuietly(const std::vector<std::string>& arguments,
                                      const std::filesystem::path& folder);

}  // namespace tintrod::bench
