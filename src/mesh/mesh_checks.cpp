#include "mesh/mesh_checks.h"

#include <cmath>

namespace mesh {

namespace {

constexpr std::size_t kBoxNumbers = 6;
constexpr Axis kAxes[] = {Axis::X, Axis::Y, Axis::Z};

double coordinate(const qfm::Vec3& point, Axis axis) {
  switch (axis) {
    case Axis::X:
      return point.x;
    case Axis::Y:
      return point.y;
    case Axis::Z:
      return point.z;
  }
  return point.x;
}

}  // namespace

std::string_view axis_name(Axis axis) {
  switch (axis) {
    case Axis::X:
      return "x";
    case Axis::Y:
      return "y";
    case Axis::Z:
      return "z";
  }
  return "x";
}

std::optional<BoxMismatch> compare_box_with_extents(const std::vector<double>& box,
                                                    const Extents& extents, double tolerance) {
  if (box.size() < kBoxNumbers) return std::nullopt;
  const double height = box[5] - box[2];
  for (const Bound bound : {Bound::Min, Bound::Max}) {
    const std::size_t first = bound == Bound::Min ? 0 : 3;
    const qfm::Vec3& mesh_bound = bound == Bound::Min ? extents.min : extents.max;
    for (std::size_t a = 0; a < 3; ++a) {
      const double box_value = box[first + a];
      const double mesh_value = coordinate(mesh_bound, kAxes[a]);
      // Written so that a NaN on either side counts as a difference.
      if (!(std::fabs(box_value - mesh_value) <= tolerance)) {
        return BoxMismatch{kAxes[a], bound, box_value, mesh_value, height};
      }
    }
  }
  return std::nullopt;
}

std::optional<double> inside_out_volume(const Mesh& mesh) {
  if (mesh.volume < 0) return mesh.volume;
  return std::nullopt;
}

std::optional<std::size_t> open_edge_count(const Mesh& mesh) {
  if (mesh.open_edges > 0) return mesh.open_edges;
  return std::nullopt;
}

std::optional<NotFiniteCoordinate> find_not_finite(const qfm::PointList& points) {
  for (std::size_t i = 0; i < points.size(); ++i) {
    for (const Axis axis : kAxes) {
      const double value = coordinate(points[i], axis);
      if (!std::isfinite(value)) return NotFiniteCoordinate{i, axis, value};
    }
  }
  return std::nullopt;
}

std::optional<NotFiniteCoordinate> find_not_finite(const std::vector<double>& box) {
  for (std::size_t i = 0; i < box.size(); ++i) {
    if (!std::isfinite(box[i])) return NotFiniteCoordinate{i, kAxes[i % 3], box[i]};
  }
  return std::nullopt;
}

}  // namespace mesh
