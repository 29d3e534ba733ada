// Error diffusion (Floyd-Steinberg, serpentine) onto a fixed palette.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "quantize/nearest_by_squared_distance.h"

namespace tintrod::quantize {

// `rgb` holds width * height pixels; `plainEntries` is each pixel's nearest
// entry without diffusion, the search's first guess. Returns an entry per pixel.
std::vector<int> ditherPixels(std::span<const std::uint8_t> rgb, int width, int height,
                              const NearestBySquaredDistance<int>& palette,
                              const std::vector<int>& plainEntries);

}  // namespace tintrod::quantize
