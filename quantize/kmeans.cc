#include "quantize/kmeans.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace tintrod::quantizer {
namespace {

// Sorting the means' neighbours anew costs more than a round's searches; a
// drift of a few levels costs the searches little.
constexpr float kResortDrift = 4;
// Rounds stop when one lowers the error by less than this share; later rounds
// move entries by fractions of a level that rounding to 8 bits undoes.
constexpr double kSettledGain = 1e-5;
constexpr int kMaxRounds = 100;

Rgb<float> pointOf(PackedColour colour) {
  return {static_cast<float>(redOf(colour)), static_cast<float>(greenOf(colour)),
          static_cast<float>(blueOf(colour))};
}

// Moves the means to their clusters' centres; returns the squared error of
// the clusters about them. A cluster left empty restarts at the colour that
// is worst served.
double moveMeans(const std::vector<Rgb<float>>& points, const ColourHistogram& histogram,
                 Clusters& clusters) {
  const std::size_t count = clusters.means.size();
  std::vector<double> weight(count);
  std::vector<Rgb<double>> sum(count);
  double error = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const auto k = static_cast<std::size_t>(clusters.clusterOfColour[i]);
    const double w = histogram.counts[i];
    weight[k] += w;
    for (std::size_t c = 0; c < 3; ++c) {
      sum[k][c] += w * points[i][c];
      error += w * points[i][c] * points[i][c];
    }
  }
  std::vector<std::size_t> empty;
  for (std::size_t k = 0; k < count; ++k) {
    if (weight[k] == 0) {
      empty.push_back(k);
      continue;
    }
    for (std::size_t c = 0; c < 3; ++c) {
      clusters.means[k][c] = static_cast<float>(sum[k][c] / weight[k]);
      error -= sum[k][c] * sum[k][c] / weight[k];
    }
  }
  std::vector<bool> restarted(points.size());
  for (const std::size_t k : empty) {
    std::size_t worst = 0;
    double worstError = -1;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const auto mean = static_cast<std::size_t>(clusters.clusterOfColour[i]);
      const double pointError =
          histogram.counts[i] * squaredDistance(points[i], clusters.means[mean]);
      if (!restarted[i] && pointError > worstError) {
        worst = i;
        worstError = pointError;
      }
    }
    restarted[worst] = true;
    clusters.means[k] = points[worst];
  }
  return error;
}

// A colour nearer its mean than half the gap to that mean's nearest other
// mean keeps its cluster without a search; after the first rounds most do.
void reassign(const std::vector<Rgb<float>>& points, const NearestEntry<float>& nearest,
              Clusters& clusters) {
  for (std::size_t i = 0; i < points.size(); ++i) {
    int& cluster = clusters.clusterOfColour[i];
    const float gap = nearest.halfGap(cluster);
    if (squaredDistance(points[i], nearest.entry(cluster)) < gap * gap) continue;
    cluster = nearest.find(points[i], cluster);
  }
}

}  // namespace

void refineClusters(const ColourHistogram& histogram, Clusters& clusters) {
  std::vector<Rgb<float>> points(histogram.colours.size());
  for (std::size_t i = 0; i < points.size(); ++i) points[i] = pointOf(histogram.colours[i]);
  double previous = moveMeans(points, histogram, clusters);
  std::optional<NearestEntry<float>> nearest;
  for (int round = 1; round < kMaxRounds; ++round) {
    if (!nearest || nearest->moveEntries(clusters.means) > kResortDrift)
      nearest.emplace(clusters.means);
    reassign(points, *nearest, clusters);
    const double error = moveMeans(points, histogram, clusters);
    if (previous - error <= previous * kSettledGain) break;
    previous = error;
  }
}

}  // namespace tintrod::quantizer
