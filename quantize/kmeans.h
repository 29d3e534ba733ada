// Refinement of a first palette: every entry moves to the mean of the
// histogram colours nearest to it, over and over, while the error falls.
#pragma once

#include "quantize/colour_histogram.h"
#include "quantize/variance_cut.h"

namespace tintrod::quantize {

// Keeps the number of clusters; a cluster left empty restarts at the colour
// that is worst served.
void refineClusters(const ColourHistogram& histogram, Clusters& clusters);

}  // namespace tintrod::quantize
