// Whether a margin line lies on its product's mesh, and when it does not,
// whether it lies on another product's (two .pts files swapped). No I/O:
// the points as read and the meshes.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

#include "mesh/mesh_index.h"
#include "mesh/tolerances.h"
#include "qfm/point_list.h"

namespace mesh {

struct OffMesh {
  std::size_t off_count = 0;     // points farther than the tolerance
  std::size_t farthest = 0;      // the index of the farthest point
  double farthest_distance = 0;  // and its distance from the mesh
};

// The points of `points` farther than `tolerance` from `mesh`; nothing when
// every point lies within it (or there is no point). Which points lie on
// the mesh is found by points_on_mesh; only when some do not is the mesh
// indexed (MeshIndex) for the farthest one's distance.
std::optional<OffMesh> find_points_off_mesh(const qfm::PointList& points, const Mesh& mesh,
                                            double tolerance = kMarginOnMeshTolerance);

// The index in `meshes` of the first mesh, other than the one at `own`, on
// which every point of `points` lies within `tolerance`; nothing when none
// does or there is no point. A null entry is a product whose mesh was not
// read, and is passed over.
std::optional<std::size_t> find_mesh_the_line_fits(const qfm::PointList& points,
                                                   std::span<const Mesh* const> meshes,
                                                   std::size_t own,
                                                   double tolerance = kMarginOnMeshTolerance);

}  // namespace mesh
