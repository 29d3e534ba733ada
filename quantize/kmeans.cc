#include "quantize/kmeans.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tintrod::quantize {
namespace {

// Sorting the means' neighbours anew costs more than a round's searches; a
// drift of a few levels costs the searches little.
constexpr float kResortDrift = 4;
// Rounds stop when one lowers the error by less than this share (0.009 dB);
// later rounds move entries by fractions of a level that rounding to 8 bits
// mostly undoes. Going on to 5e-4 took half again as many rounds for 0.025 dB
// on the mean of scripts/quantize-quality, 0.08 dB at most on one picture.
constexpr double kSettledGain = 2e-3;
constexpr int kMaxRounds = 100;
// Past this many colours, rounds work on colours merged into small cells of
// the cube: a round's time follows the points, and a cell of 4 or 8 levels a
// side is small beside the clusters that 256 entries make of so many colours.
constexpr std::size_t kMaxPoints = 1 << 16;
// Float rounding in the gaps stays far below this; a point this close to
// half the gap is searched rather than kept.
constexpr float kGapMargin = 1e-3F;

// Pixel counts and channel sums are integers, so a cluster's totals can be
// kept by adding and taking away points exactly, in any order, on any machine.
using Sums = std::array<std::int64_t, 3>;

// What the rounds cluster: each histogram colour, or each cell of them. As
// few bytes a point as will do: they are tens of thousands, read every round,
// and each fresh page of them costs a fault.
struct Points {
  std::vector<Rgb<float>> at;
  // Pixels, at most a slot's.
  std::vector<std::uint32_t> weight;
  std::vector<int> cluster;
  // For each histogram colour, its point, and each cell's channel sums; both
  // empty when the points are the colours, whose sums their weights and
  // channels give exactly.
  std::vector<std::uint32_t> ofColour;
  std::vector<Sums> cellSum;

  Sums sum(std::size_t point) const {
    if (!cellSum.empty()) return cellSum[point];
    const auto weightOf = static_cast<std::int64_t>(weight[point]);
    return {weightOf * static_cast<std::int64_t>(at[point][0]),
            weightOf * static_cast<std::int64_t>(at[point][1]),
            weightOf * static_cast<std::int64_t>(at[point][2])};
  }
};

Points colourPoints(const ColourHistogram& histogram, const Clusters& clusters) {
  Points points;
  points.at.reserve(histogram.colours.size());
  points.weight.reserve(histogram.colours.size());
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
  std::vector<std::uint32_t> heaviest;
  Points points;
  for (std::size_t i = 0; i < histogram.colours.size(); ++i) {
    const PackedColour colour = histogram.colours[i];
    const std::size_t cell = static_cast<std::size_t>(redOf(colour) >> drop) << (2 * bits) |
                             static_cast<std::size_t>(greenOf(colour) >> drop) << bits |
                             static_cast<std::size_t>(blueOf(colour) >> drop);
    if (pointOfCell[cell] == UINT32_MAX) {
      pointOfCell[cell] = static_cast<std::uint32_t>(points.weight.size());
      points.weight.push_back(0);
      points.cellSum.push_back({});
      points.cluster.push_back(clusters.clusterOfColour[i]);
      heaviest.push_back(0);
    }
    const std::uint32_t point = pointOfCell[cell];
    const std::uint32_t count = histogram.counts[i];
    points.weight[point] += count;
    for (std::size_t c = 0; c < 3; ++c) {
      points.cellSum[point][c] += std::int64_t{count} * channelOf(colour, static_cast<int>(c));
    }
    if (count > heaviest[point]) {
      heaviest[point] = count;
      points.cluster[point] = clusters.clusterOfColour[i];
    }
    points.ofColour.push_back(point);
  }
  for (std::size_t p = 0; p < points.cellSum.size(); ++p) {
    const auto weight = static_cast<double>(points.weight[p]);
    const Sums& sum = points.cellSum[p];
    points.at.push_back({static_cast<float>(static_cast<double>(sum[0]) / weight),
                         static_cast<float>(static_cast<double>(sum[1]) / weight),
                         static_cast<float>(static_cast<double>(sum[2]) / weight)});
  }
  return points;
}

Points pointsOf(const ColourHistogram& histogram, const Clusters& clusters) {
  if (histogram.colours.size() <= kMaxPoints) return colourPoints(histogram, clusters);
  Points cells = cellPoints(histogram, clusters, 6);
  return cells.at.size() <= kMaxPoints ? cells : cellPoints(histogram, clusters, 5);
}

// Each cluster's weight and sums, kept as points change cluster, so that a
// round costs what its changes cost, not what all points cost.
class Totals {
 public:
  Totals(const Points& points, std::size_t clusters)
      : points_(points), weight_(clusters), sum_(clusters) {
    for (std::size_t i = 0; i < points.at.size(); ++i) {
      add(i, points.cluster[i], 1);
      const Sums sum = points.sum(i);
      for (std::size_t c = 0; c < 3; ++c) {
        const auto total = static_cast<double>(sum[c]);
        squares_ += total * total / static_cast<double>(points.weight[i]);
      }
    }
  }

  void move(std::size_t point, int from, int to) {
    add(point, from, -1);
    add(point, to, 1);
  }

  // Moves the means to their clusters' centres; returns the squared error of
  // the clusters about them. A cluster left empty restarts at the point that
  // is worst served.
  double moveMeans(std::vector<Rgb<float>>& means) const {
    double error = squares_;
    std::vector<std::size_t> empty;
    for (std::size_t k = 0; k < means.size(); ++k) {
      if (weight_[k] == 0) {
        empty.push_back(k);
        continue;
      }
      const auto weight = static_cast<double>(weight_[k]);
      for (std::size_t c = 0; c < 3; ++c) {
        const auto total = static_cast<double>(sum_[k][c]);
        means[k][c] = static_cast<float>(total / weight);
        error -= total * total / weight;
      }
    }
    if (!empty.empty()) restart(empty, means);
    return error;
  }

 private:
  void add(std::size_t point, int cluster, std::int64_t sign) {
    const auto k = static_cast<std::size_t>(cluster);
    weight_[k] += sign * points_.weight[point];
    const Sums sum = points_.sum(point);
    for (std::size_t c = 0; c < 3; ++c) sum_[k][c] += sign * sum[c];
  }

  void restart(const std::vector<std::size_t>& empty, std::vector<Rgb<float>>& means) const {
    std::vector<bool> restarted(points_.at.size());
    for (const std::size_t k : empty) {
      std::size_t worst = 0;
      double worstError = -1;
      for (std::size_t i = 0; i < points_.at.size(); ++i) {
        const auto mean = static_cast<std::size_t>(points_.cluster[i]);
        const double pointError =
            static_cast<double>(points_.weight[i]) * squaredDistance(points_.at[i], means[mean]);
        if (!restarted[i] && pointError > worstError) {
          worst = i;
          worstError = pointError;
        }
      }
      restarted[worst] = true;
      means[k] = points_.at[worst];
    }
  }

  const Points& points_;
  std::vector<std::int64_t> weight_;
  std::vector<Sums> sum_;
  // The points' weighted squares, less which the clusters' spread is the error.
  double squares_ = 0;
};

// Half the distance from each mean to its nearest other, less a margin for
// rounding: measured anew each round, as the bound from when the search's
// rows were sorted grows loose as the means drift.
std::vector<float> halfGaps(const NearestBySquaredDistance<float>& nearest) {
  std::vector<float> gaps(static_cast<std::size_t>(nearest.size()));
  for (int k = 0; k < nearest.size(); ++k) {
    gaps[static_cast<std::size_t>(k)] =
        std::max(0.0F, std::sqrt(nearest.nearestOtherSquared(k)) / 2 - kGapMargin);
  }
  return gaps;
}

// A point nearer its mean than half the gap to that mean's nearest other
// mean keeps its cluster without a search; after the first rounds most do.
void reassign(Points& points, const NearestBySquaredDistance<float>& nearest, Totals& totals) {
  const std::vector<float> gaps = halfGaps(nearest);
  for (std::size_t i = 0; i < points.at.size(); ++i) {
    const int cluster = points.cluster[i];
    const float gap = gaps[static_cast<std::size_t>(cluster)];
    if (squaredDistance(points.at[i], nearest.entry(cluster)) < gap * gap) continue;
    const int found = nearest.find(points.at[i], cluster);
    if (found == cluster) continue;
    totals.move(i, cluster, found);
    points.cluster[i] = found;
  }
}

}  // namespace

void refineClusters(const ColourHistogram& histogram, Clusters& clusters) {
  Points points = pointsOf(histogram, clusters);
  Totals totals(points, clusters.means.size());
  double previous = totals.moveMeans(clusters.means);
  std::optional<NearestBySquaredDistance<float>> nearest;
  for (int round = 1; round < kMaxRounds; ++round) {
    if (!nearest || nearest->moveEntries(clusters.means) > kResortDrift) {
      nearest.emplace(clusters.means);
    }
    reassign(points, *nearest, totals);
    const double error = totals.moveMeans(clusters.means);
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

}  // namespace tintrod::quantize
