// The first palette: the histogram cut into boxes, each cut the one that
// lowers the squared error most, each box's mean one entry.
#pragma once

#include <vector>

#include "quantize/colour_histogram.h"
#include "quantize/nearest_by_squared_distance.h"

namespace tintrod::quantize {

struct Clusters {
  std::vector<Rgb<float>> means;
  // For each histogram colour, the index of its cluster in `means`.
  std::vector<int> clusterOfColour;
};

// At most `count` clusters; fewer only when the histogram has fewer colours.
Clusters varianceCut(const ColourHistogram& histogram, int count);

}  // namespace tintrod::quantize
