#include "mesh/margin_shape.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "mesh/tolerances.h"

namespace mesh {

namespace {

constexpr std::size_t kFewestPointsForSpike = 5;

double distance_between(const qfm::Vec3& a, const qfm::Vec3& b) {
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                   (a.z - b.z) * (a.z - b.z));
}

bool finite(const qfm::Vec3& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

bool tooth_sized(double extent) {
  return extent >= kSmallestMarginExtent && extent <= kLargestMarginExtent;
}

}  // namespace

std::optional<Spike> find_spike(const qfm::PointList& points) {
  const std::size_t n = points.size();
  if (n < kFewestPointsForSpike) return std::nullopt;
  // A coordinate that is not a number is a fault of its own, and has no
  // distance to measure.
  if (!std::all_of(points.begin(), points.end(), finite)) return std::nullopt;
  // step[i]: from point i to the next.
  std::vector<double> step(n);
  for (std::size_t i = 0; i < n; ++i) step[i] = distance_between(points[i], points[(i + 1) % n]);
  std::vector<double> sorted = step;
  std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(n / 2),
                   sorted.end());
  const double usual = sorted[n / 2];
  const double least = std::max(kSpikeSpacings * usual, kSpikeLeastJump);
  std::optional<Spike> worst;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t before = (i + n - 1) % n;
    const std::size_t after = (i + 1) % n;
    const double jump = std::min(step[before], step[i]);
    if (!(jump > least)) continue;
    if (distance_between(points[before], points[after]) > least) continue;
    if (!worst || jump > worst->jump) worst = Spike{i, jump, usual};
  }
  return worst;
}

// The second smallest and second largest of the values added, each value
// counted as often as it comes: the extent less one extreme value at each
// end, found in one pass rather than by sorting the values.
namespace {

struct InnerRange {
  double low[2] = {std::numeric_limits<double>::infinity(),
                   std::numeric_limits<double>::infinity()};
  double high[2] = {-std::numeric_limits<double>::infinity(),
                    -std::numeric_limits<double>::infinity()};
  void add(double value) {
    if (value < low[0]) {
      low[1] = low[0];
      low[0] = value;
    } else if (value < low[1]) {
      low[1] = value;
    }
    if (value > high[0]) {
      high[1] = high[0];
      high[0] = value;
    } else if (value > high[1]) {
      high[1] = value;
    }
  }
};

}  // namespace

std::optional<UnitsMismatch> find_units_mismatch(const qfm::PointList& points) {
  InnerRange axes[3];
  std::size_t n = 0;
  for (const qfm::Vec3& p : points) {
    if (!finite(p)) continue;
    axes[0].add(p.x);
    axes[1].add(p.y);
    axes[2].add(p.z);
    ++n;
  }
  if (n < kFewestPointsForUnits) return std::nullopt;
  // A spike (one mistyped coordinate) is the most extreme value on its
  // axis; it is left out, so that it is not taken for the line's unit.
  double extent = 0;
  for (const InnerRange& range : axes) extent = std::max(extent, range.high[1] - range.low[1]);
  if (tooth_sized(extent)) return std::nullopt;
  LikelyUnit likely = LikelyUnit::Unknown;
  if (extent > kLargestMarginExtent) {
    if (tooth_sized(extent / kMicrometresPerMillimetre)) likely = LikelyUnit::Micrometres;
  } else if (tooth_sized(extent * kMillimetresPerInch)) {
    likely = LikelyUnit::Inches;
  } else if (tooth_sized(extent * kMillimetresPerMetre)) {
    likely = LikelyUnit::Metres;
  }
  return UnitsMismatch{extent, likely};
}

}  // namespace mesh
