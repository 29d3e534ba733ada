// The palette entry nearest to a colour by squared RGB distance, lowest index
// on ties, found without comparing against every entry: a guess close to the
// answer (the pixel's cluster, a neighbour's entry) rules most entries out by
// the triangle inequality.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tintrod::quantize {

template <typename T>
using Rgb = std::array<T, 3>;

template <typename T>
T squaredDistance(const Rgb<T>& a, const Rgb<T>& b) {
  const T red = a[0] - b[0];
  const T green = a[1] - b[1];
  const T blue = a[2] - b[2];
  return red * red + green * green + blue * blue;
}

// T is int for exact answers over 8-bit entries, float while the entries are
// still moving means.
template <typename T>
class NearestBySquaredDistance {
 public:
  // At most 256 entries.
  explicit NearestBySquaredDistance(std::span<const Rgb<T>> entries);

  // `guess` is any valid index; the nearer it is, the fewer entries are tried.
  int find(const Rgb<T>& colour, int guess) const;

  // The squared distance from an entry to the nearest other one as the
  // entries are now; infinite without another. Its row rules most out.
  float nearestOtherSquared(int index) const;

  // Entries that moved a little keep the order of their rows: a search then
  // looks further by how far they moved, which is cheaper than sorting anew.
  // Returns how far the farthest moved since the rows were sorted.
  float moveEntries(std::span<const Rgb<T>> entries);

  int size() const { return static_cast<int>(entries_.size()); }
  const Rgb<T>& entry(int index) const { return entries_[static_cast<std::size_t>(index)]; }

 private:
  std::vector<Rgb<T>> entries_;
  // Where the entries were when the rows were sorted, and how far each and
  // the farthest have moved since.
  std::vector<Rgb<T>> sortedAt_;
  std::vector<float> drift_;
  float farthestDrift_ = 0;
  // For each entry, every entry by ascending distance from it, as keys: the
  // distance in steps of 1/kKeyStepsPerUnit, rounded down, above the entry's index.
  std::vector<std::uint32_t> neighbours_;
};

extern template class NearestBySquaredDistance<int>;
extern template class NearestBySquaredDistance<float>;

}  // namespace tintrod::quantize
