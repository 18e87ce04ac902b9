#include "report/view_projection.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace report {

namespace {

double dot(const qfm::Vec3& a, const qfm::Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

qfm::Vec3 cross(const qfm::Vec3& a, const qfm::Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

qfm::Vec3 scaled(const qfm::Vec3& a, double factor) {
  return {a.x * factor, a.y * factor, a.z * factor};
}

qfm::Vec3 minus(const qfm::Vec3& a, const qfm::Vec3& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}

qfm::Vec3 unit(const qfm::Vec3& a) { return scaled(a, 1 / std::sqrt(dot(a, a))); }

qfm::Vec3 negated(const qfm::Vec3& a) { return scaled(a, -1); }

struct Extent {
  Point2 low{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
  Point2 high{-std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};

  void take(Point2 p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    low = {std::min(low.x, p.x), std::min(low.y, p.y)};
    high = {std::max(high.x, p.x), std::max(high.y, p.y)};
  }
  bool empty() const { return low.x > high.x; }
};

constexpr double kScaleOfNothing = 10;

}  // namespace

std::array<ViewAxes, kViewCount> view_axes(qfm::Vec3 tooth_axis) {
  const bool usable = std::isfinite(dot(tooth_axis, tooth_axis)) && dot(tooth_axis, tooth_axis) > 0;
  const qfm::Vec3 axis = usable ? unit(tooth_axis) : qfm::Vec3{0, 0, 1};
  const qfm::Vec3 reference = std::abs(axis.x) > 0.9 ? qfm::Vec3{0, 1, 0} : qfm::Vec3{1, 0, 0};
  const qfm::Vec3 up = unit(minus(reference, scaled(axis, dot(reference, axis))));
  const qfm::Vec3 right = cross(up, axis);
  // Each view's toward_viewer is right × up, so that a drawing is never
  // seen mirrored.
  return {ViewAxes{right, up, axis}, ViewAxes{right, axis, negated(up)}, ViewAxes{up, axis, right}};
}

std::optional<Box> bounds_of(std::span<const Triangle> mesh) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  Box box{{kInfinity, kInfinity, kInfinity}, {-kInfinity, -kInfinity, -kInfinity}};
  for (const Triangle& triangle : mesh) {
    for (const qfm::Vec3& corner : triangle) {
      if (!std::isfinite(corner.x) || !std::isfinite(corner.y) || !std::isfinite(corner.z))
        continue;
      box.low = {std::min(box.low.x, corner.x), std::min(box.low.y, corner.y),
                 std::min(box.low.z, corner.z)};
      box.high = {std::max(box.high.x, corner.x), std::max(box.high.y, corner.y),
                  std::max(box.high.z, corner.z)};
    }
  }
  if (box.low.x > box.high.x) return std::nullopt;
  return box;
}

bool near_box(const Box& box, const qfm::Vec3& point) {
  const double largest =
      std::max({box.high.x - box.low.x, box.high.y - box.low.y, box.high.z - box.low.z});
  return distance_from(box, point) <= std::max(largest, kNearMesh);
}

double distance_from(const Box& box, const qfm::Vec3& point) {
  const auto outside = [](double value, double low, double high) {
    return value < low ? low - value : value > high ? value - high : 0.0;
  };
  const qfm::Vec3 away{outside(point.x, box.low.x, box.high.x),
                       outside(point.y, box.low.y, box.high.y),
                       outside(point.z, box.low.z, box.high.z)};
  return std::sqrt(dot(away, away));
}

std::array<Frame, kViewCount> fit_frames(const std::array<ViewAxes, kViewCount>& axes,
                                         std::span<const Triangle> mesh,
                                         std::span<const qfm::Vec3> margin, double left, double top,
                                         double size, double fill) {
  const std::optional<Box> box = bounds_of(mesh);
  std::array<Extent, kViewCount> extents;
  for (std::size_t view = 0; view < kViewCount; ++view) {
    for (const Triangle& triangle : mesh) {
      for (const qfm::Vec3& corner : triangle) extents[view].take(project(axes[view], corner));
    }
    for (const qfm::Vec3& point : margin) {
      if (!box || near_box(*box, point)) extents[view].take(project(axes[view], point));
    }
  }
  double largest = 0;
  for (const Extent& extent : extents) {
    if (extent.empty()) continue;
    largest = std::max({largest, extent.high.x - extent.low.x, extent.high.y - extent.low.y});
  }
  const double scale = largest > 0 ? size * fill / largest : kScaleOfNothing;
  std::array<Frame, kViewCount> frames;
  for (std::size_t view = 0; view < kViewCount; ++view) {
    const Extent& extent = extents[view];
    const Point2 centre = extent.empty() ? Point2{}
                                         : Point2{(extent.low.x + extent.high.x) / 2,
                                                  (extent.low.y + extent.high.y) / 2};
    frames[view] = Frame{left, top, size, scale, centre};
  }
  return frames;
}

}  // namespace report
