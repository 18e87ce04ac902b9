#include "mesh/margin_fit.h"

#include <algorithm>

namespace mesh {

std::optional<OffMesh> find_points_off_mesh(const qfm::PointList& points, const MeshIndex& mesh,
                                            double tolerance) {
  OffMesh off;
  for (std::size_t i = 0; i < points.size(); ++i) {
    // Most points lie on the mesh: the cheap test first, the exact
    // distance only for the points off it.
    if (mesh.within(points[i], tolerance)) continue;
    const double distance = mesh.distance(points[i]);
    if (off.off_count == 0 || distance > off.farthest_distance) {
      off.farthest = i;
      off.farthest_distance = distance;
    }
    ++off.off_count;
  }
  if (off.off_count == 0) return std::nullopt;
  return off;
}

std::optional<std::size_t> find_mesh_the_line_fits(const qfm::PointList& points,
                                                   std::span<const MeshIndex* const> meshes,
                                                   std::size_t own, double tolerance) {
  if (points.empty()) return std::nullopt;
  for (std::size_t m = 0; m < meshes.size(); ++m) {
    if (m == own || meshes[m] == nullptr) continue;
    const MeshIndex& mesh = *meshes[m];
    if (std::all_of(points.begin(), points.end(),
                    [&](const qfm::Vec3& point) { return mesh.within(point, tolerance); })) {
      return m;
    }
  }
  return std::nullopt;
}

}  // namespace mesh
