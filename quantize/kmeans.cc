#include "quantize/kmeans.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace tintrod::quantizer {
namespace {

// Rounds stop when one lowers the error by less than this share; later rounds
// move entries by fractions of a level that rounding to 8 bits undoes.
constexpr double kSettledGain = 1e-4;
constexpr int kMaxRounds = 40;

Rgb<float> pointOf(PackedColour colour) {
  return {static_cast<float>(redOf(colour)), static_cast<float>(greenOf(colour)),
          static_cast<float>(blueOf(colour))};
}

struct Accumulator {
  double weight = 0;
  std::array<double, 3> sum{};
};

// One round: assigns every colour to its nearest mean, then moves the means.
// Returns the weighted squared error of the assignment.
double assignAndMove(const std::vector<Rgb<float>>& points, const ColourHistogram& histogram,
                     Clusters& clusters) {
  const NearestEntry<float> nearest(clusters.means);
  std::vector<Accumulator> totals(clusters.means.size());
  std::vector<double> errors(points.size());
  double error = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const int cluster = nearest.find(points[i], clusters.clusterOfColour[i]);
    clusters.clusterOfColour[i] = cluster;
    const double weight = histogram.counts[i];
    errors[i] = weight * squaredDistance(points[i], nearest.entry(cluster));
    error += errors[i];
    Accumulator& total = totals[static_cast<std::size_t>(cluster)];
    total.weight += weight;
    for (int c = 0; c < 3; ++c) total.sum[c] += weight * points[i][c];
  }
  for (std::size_t k = 0; k < totals.size(); ++k) {
    if (totals[k].weight > 0) {
      for (int c = 0; c < 3; ++c) {
        clusters.means[k][c] = static_cast<float>(totals[k].sum[c] / totals[k].weight);
      }
      continue;
    }
    const auto worst = std::max_element(errors.begin(), errors.end());
    const auto colour = static_cast<std::size_t>(worst - errors.begin());
    clusters.means[k] = points[colour];
    *worst = 0;
  }
  return error;
}

}  // namespace

void refineClusters(const ColourHistogram& histogram, Clusters& clusters) {
  std::vector<Rgb<float>> points(histogram.colours.size());
  for (std::size_t i = 0; i < points.size(); ++i) points[i] = pointOf(histogram.colours[i]);
  double previous = assignAndMove(points, histogram, clusters);
  for (int round = 1; round < kMaxRounds; ++round) {
    const double error = assignAndMove(points, histogram, clusters);
    if (previous - error <= previous * kSettledGain) break;
    previous = error;
  }
}

}  // namespace tintrod::quantizer
