#include "quantize/variance_cut.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace tintrod::quantize {
namespace {

struct Moments {
  double weight = 0;
  std::array<double, 3> sum{};

  void add(const Moments& other) {
    weight += other.weight;
    for (int c = 0; c < 3; ++c) sum[c] += other.sum[c];
  }
  Moments minus(const Moments& other) const {
    Moments result = *this;
    result.weight -= other.weight;
    for (int c = 0; c < 3; ++c) result.sum[c] -= other.sum[c];
    return result;
  }
  // The box's squared error is its weighted squares less this, and the squares
  // do not change when a box is cut: a cut gains what it adds here.
  double spread() const {
    return weight > 0 ? (sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]) / weight : 0;
  }
};

// Per axis, the lowest and highest channel value a box's colours hold.
struct Span {
  std::array<int, 3> lowest{0, 0, 0};
  std::array<int, 3> highest{255, 255, 255};
};

struct Box {
  std::size_t begin = 0;
  std::size_t end = 0;
  Moments moments;
  Span span;
  // The best cut: colours with channel `axis` at most `threshold` go first.
  int axis = 0;
  int threshold = 0;
  double gain = 0;
};

class Cutter {
 public:
  explicit Cutter(const ColourHistogram& histogram) : histogram_(histogram) {
    order_.resize(histogram.colours.size());
    for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = static_cast<std::uint32_t>(i);
  }

  // A box's colours lie within its parent's span, so only the bins there need
  // clearing (most boxes are small), and one pass over the colours fills them;
  // its own span is then read off the bins.
  Box boxOf(std::size_t begin, std::size_t end, const Span& within) {
    Box box{begin, end, {}, {}, 0, 0, 0};
    for (std::size_t axis = 0; axis < 3; ++axis) {
      std::fill_n(bins_[axis].data() + within.lowest[axis],
                  within.highest[axis] - within.lowest[axis] + 1, Moments{});
    }
    for (std::size_t n = begin; n < end; ++n) {
      const Moments point = pointAt(order_[n]);
      box.moments.add(point);
      const PackedColour colour = histogram_.colours[order_[n]];
      for (std::size_t axis = 0; axis < 3; ++axis) {
        bins_[axis][static_cast<std::size_t>(channelOf(colour, static_cast<int>(axis)))].add(point);
      }
    }
    for (std::size_t axis = 0; axis < 3; ++axis) {
      const auto empty = [this, axis](int value) {
        return bins_[axis][static_cast<std::size_t>(value)].weight == 0;
      };
      int& lowest = box.span.lowest[axis];
      int& highest = box.span.highest[axis];
      for (lowest = within.lowest[axis]; lowest < within.highest[axis] && empty(lowest);) ++lowest;
      for (highest = within.highest[axis]; highest > lowest && empty(highest);) --highest;
    }
    // Only cuts inside the box's span on an axis can part its colours.
    const double whole = box.moments.spread();
    for (int axis = 0; axis < 3; ++axis) {
      const auto a = static_cast<std::size_t>(axis);
      Moments below;
      for (int threshold = box.span.lowest[a]; threshold < box.span.highest[a]; ++threshold) {
        below.add(bins_[a][static_cast<std::size_t>(threshold)]);
        if (below.weight == 0) continue;
        const double gain = below.spread() + box.moments.minus(below).spread() - whole;
        if (gain > box.gain) {
          box.axis = axis;
          box.threshold = threshold;
          box.gain = gain;
        }
      }
    }
    return box;
  }

  std::pair<Box, Box> cut(const Box& box) {
    const auto first = order_.begin() + static_cast<std::ptrdiff_t>(box.begin);
    const auto last = order_.begin() + static_cast<std::ptrdiff_t>(box.end);
    const auto middle = std::partition(first, last, [&](std::uint32_t i) {
      return channelOf(histogram_.colours[i], box.axis) <= box.threshold;
    });
    const auto split = static_cast<std::size_t>(middle - order_.begin());
    return {boxOf(box.begin, split, box.span), boxOf(split, box.end, box.span)};
  }

  Clusters clustersOf(const std::vector<Box>& boxes) const {
    Clusters clusters;
    clusters.clusterOfColour.resize(order_.size());
    for (const Box& box : boxes) {
      const double weight = box.moments.weight;
      clusters.means.push_back({static_cast<float>(box.moments.sum[0] / weight),
                                static_cast<float>(box.moments.sum[1] / weight),
                                static_cast<float>(box.moments.sum[2] / weight)});
      for (std::size_t n = box.begin; n < box.end; ++n) {
        clusters.clusterOfColour[order_[n]] = static_cast<int>(clusters.means.size() - 1);
      }
    }
    return clusters;
  }

 private:
  Moments pointAt(std::uint32_t i) const {
    const PackedColour colour = histogram_.colours[i];
    const double weight = histogram_.counts[i];
    return {weight, {weight * redOf(colour), weight * greenOf(colour), weight * blueOf(colour)}};
  }

  const ColourHistogram& histogram_;
  std::vector<std::uint32_t> order_;
  // Each axis's moments by channel value, for the box being measured.
  std::array<std::array<Moments, 256>, 3> bins_;
};

}  // namespace

Clusters varianceCut(const ColourHistogram& histogram, int count) {
  Cutter cutter(histogram);
  std::vector<Box> boxes{cutter.boxOf(0, histogram.colours.size(), Span{})};
  while (static_cast<int>(boxes.size()) < count) {
    const auto widest = std::max_element(
        boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.gain < b.gain; });
    if (widest->gain <= 0) break;
    auto [first, second] = cutter.cut(*widest);
    *widest = first;
    boxes.push_back(second);
  }
  return cutter.clustersOf(boxes);
}

}  // namespace tintrod::quantize
