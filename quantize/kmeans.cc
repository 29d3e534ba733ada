#include "quantize/kmeans.h"

#include <cstddef>
#include <cstdint>
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
// Past this many colours, rounds work on colours merged into small cells of
// the cube: a round's time follows the points, and a cell of 4 or 8 levels a
// side is small beside the clusters that 256 entries make of so many colours.
constexpr std::size_t kMaxPoints = 1 << 16;

// What the rounds cluster: each histogram colour, or each cell of them.
struct Points {
  std::vector<Rgb<float>> at;
  std::vector<double> weight;
  std::vector<int> cluster;
  // For each histogram colour, its point; empty when the points are the colours.
  std::vector<std::uint32_t> ofColour;
};

Points colourPoints(const ColourHistogram& histogram, const Clusters& clusters) {
  Points points;
  for (std::size_t i = 0; i < histogram.colours.size(); ++i) {
    const PackedColour colour = histogram.colours[i];
    points.at.push_back({static_cast<float>(redOf(colour)), static_cast<float>(greenOf(colour)),
                         static_cast<float>(blueOf(colour))});
    points.weight.push_back(histogram.counts[i]);
  }
  points.cluster = clusters.clusterOfColour;
  return points;
}

// Each cell's point is the mean of its colours; it starts in the cluster of
// its heaviest colour.
Points cellPoints(const ColourHistogram& histogram, const Clusters& clusters, int bits) {
  const int drop = 8 - bits;
  const std::size_t cells = std::size_t{1} << (3 * bits);
  std::vector<std::uint32_t> pointOfCell(cells, UINT32_MAX);
  std::vector<double> heaviest;
  std::vector<Rgb<double>> sums;
  Points points;
  for (std::size_t i = 0; i < histogram.colours.size(); ++i) {
    const PackedColour colour = histogram.colours[i];
    const std::size_t cell = static_cast<std::size_t>(redOf(colour) >> drop) << (2 * bits) |
                             static_cast<std::size_t>(greenOf(colour) >> drop) << bits |
                             static_cast<std::size_t>(blueOf(colour) >> drop);
    if (pointOfCell[cell] == UINT32_MAX) {
      pointOfCell[cell] = static_cast<std::uint32_t>(points.weight.size());
      points.weight.push_back(0);
      points.cluster.push_back(clusters.clusterOfColour[i]);
      heaviest.push_back(0);
      sums.push_back({});
    }
    const std::uint32_t point = pointOfCell[cell];
    const double weight = histogram.counts[i];
    points.weight[point] += weight;
    sums[point][0] += weight * redOf(colour);
    sums[point][1] += weight * greenOf(colour);
    sums[point][2] += weight * blueOf(colour);
    if (weight > heaviest[point]) {
      heaviest[point] = weight;
      points.cluster[point] = clusters.clusterOfColour[i];
    }
    points.ofColour.push_back(point);
  }
  for (std::size_t p = 0; p < sums.size(); ++p) {
    points.at.push_back({static_cast<float>(sums[p][0] / points.weight[p]),
                         static_cast<float>(sums[p][1] / points.weight[p]),
                         static_cast<float>(sums[p][2] / points.weight[p])});
  }
  return points;
}

Points pointsOf(const ColourHistogram& histogram, const Clusters& clusters) {
  if (histogram.colours.size() <= kMaxPoints) return colourPoints(histogram, clusters);
  Points cells = cellPoints(histogram, clusters, 6);
  return cells.at.size() <= kMaxPoints ? cells : cellPoints(histogram, clusters, 5);
}

// Moves the means to their clusters' centres; returns the squared error of
// the clusters about them. A cluster left empty restarts at the point that
// is worst served.
double moveMeans(Points& points, std::vector<Rgb<float>>& means) {
  const std::size_t count = means.size();
  std::vector<double> weight(count);
  std::vector<Rgb<double>> sum(count);
  double error = 0;
  for (std::size_t i = 0; i < points.at.size(); ++i) {
    const auto k = static_cast<std::size_t>(points.cluster[i]);
    const double w = points.weight[i];
    weight[k] += w;
    for (std::size_t c = 0; c < 3; ++c) {
      sum[k][c] += w * points.at[i][c];
      error += w * points.at[i][c] * points.at[i][c];
    }
  }
  std::vector<std::size_t> empty;
  for (std::size_t k = 0; k < count; ++k) {
    if (weight[k] == 0) {
      empty.push_back(k);
      continue;
    }
    for (std::size_t c = 0; c < 3; ++c) {
      means[k][c] = static_cast<float>(sum[k][c] / weight[k]);
      error -= sum[k][c] * sum[k][c] / weight[k];
    }
  }
  std::vector<bool> restarted(points.at.size());
  for (const std::size_t k : empty) {
    std::size_t worst = 0;
    double worstError = -1;
    for (std::size_t i = 0; i < points.at.size(); ++i) {
      const auto mean = static_cast<std::size_t>(points.cluster[i]);
      const double pointError = points.weight[i] * squaredDistance(points.at[i], means[mean]);
      if (!restarted[i] && pointError > worstError) {
        worst = i;
        worstError = pointError;
      }
    }
    restarted[worst] = true;
    means[k] = points.at[worst];
  }
  return error;
}

// A point nearer its mean than half the gap to that mean's nearest other
// mean keeps its cluster without a search; after the first rounds most do.
void reassign(Points& points, const NearestEntry<float>& nearest) {
  for (std::size_t i = 0; i < points.at.size(); ++i) {
    int& cluster = points.cluster[i];
    const float gap = nearest.halfGap(cluster);
    if (squaredDistance(points.at[i], nearest.entry(cluster)) < gap * gap) continue;
    cluster = nearest.find(points.at[i], cluster);
  }
}

}  // namespace

void refineClusters(const ColourHistogram& histogram, Clusters& clusters) {
  Points points = pointsOf(histogram, clusters);
  double previous = moveMeans(points, clusters.means);
  std::optional<NearestEntry<float>> nearest;
  for (int round = 1; round < kMaxRounds; ++round) {
    if (!nearest || nearest->moveEntries(clusters.means) > kResortDrift) {
      nearest.emplace(clusters.means);
    }
    reassign(points, *nearest);
    const double error = moveMeans(points, clusters.means);
    if (previous - error <= previous * kSettledGain) break;
    previous = error;
  }
  if (points.ofColour.empty()) {
    clusters.clusterOfColour = points.cluster;
    return;
  }
  for (std::size_t i = 0; i < histogram.colours.size(); ++i) {
    clusters.clusterOfColour[i] = points.cluster[points.ofColour[i]];
  }
}

}  // namespace tintrod::quantizer
