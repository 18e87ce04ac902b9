// What a product's mesh and its case record say of each other, and of the
// mesh alone: the case's bounding box against the mesh's extents, a mesh
// inside out or open, and coordinates that are not numbers. No I/O.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "mesh/mesh.h"
#include "mesh/tolerances.h"

namespace mesh {

enum class Axis { X, Y, Z };
enum class Bound { Min, Max };

// "x", "y" or "z".
std::string_view axis_name(Axis axis);

struct BoxMismatch {
  Axis axis = Axis::X;
  Bound bound = Bound::Min;
  double box_value = 0;   // the case's
  double mesh_value = 0;  // the mesh's extent
  // The height the document carries, taken from the box (max z - min z).
  double box_height = 0;
};

// The first bound, in the box's order (min x, y, z, then max x, y, z), on
// which `box` (the case's six numbers: minimum x, y, z, then maximum) and
// the mesh's extents differ by more than `tolerance`; nothing when none
// does or the box has fewer than six numbers (a fault of its own).
std::optional<BoxMismatch> compare_box_with_extents(const std::vector<double>& box,
                                                    const Extents& extents,
                                                    double tolerance = kBoundingBoxTolerance);

// The mesh's volume when it is negative (the facets face inward).
std::optional<double> inside_out_volume(const Mesh& mesh);

// The mesh's open edges when it has any.
std::optional<std::size_t> open_edge_count(const Mesh& mesh);

struct NotFiniteCoordinate {
  std::size_t index = 0;  // the point, or the number in a bounding box
  Axis axis = Axis::X;
  double value = 0;  // NaN or an infinity
};

// The first coordinate of `points` that is NaN or an infinity.
std::optional<NotFiniteCoordinate> find_not_finite(const qfm::PointList& points);

// The first number of `box` that is NaN or an infinity: its index among
// the six, its axis (index modulo three).
std::optional<NotFiniteCoordinate> find_not_finite(const std::vector<double>& box);

}  // namespace mesh
