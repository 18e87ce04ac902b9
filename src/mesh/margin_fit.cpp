#include "mesh/margin_fit.h"

#include <algorithm>
#include <vector>

#include "mesh/points_on_mesh.h"

namespace mesh {

std::optional<OffMesh> find_points_off_mesh(const qfm::PointList& points, const Mesh& mesh,
                                            double tolerance) {
  const std::vector<bool> on = points_on_mesh(points, mesh, tolerance);
  if (std::all_of(on.begin(), on.end(), [](bool b) { return b; })) return std::nullopt;
  const MeshIndex index(mesh);
  OffMesh off;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (on[i]) continue;
    const double distance = index.distance(points[i]);
    if (off.off_count == 0 || distance > off.farthest_distance) {
      off.farthest = i;
      off.farthest_distance = distance;
    }
    ++off.off_count;
  }
  return off;
}

std::optional<std::size_t> find_mesh_the_line_fits(const qfm::PointList& points,
                                                   std::span<const Mesh* const> meshes,
                                                   std::size_t own, double tolerance) {
  if (points.empty()) return std::nullopt;
  for (std::size_t m = 0; m < meshes.size(); ++m) {
    if (m == own || meshes[m] == nullptr) continue;
    const std::vector<bool> on = points_on_mesh(points, *meshes[m], tolerance);
    if (std::all_of(on.begin(), on.end(), [](bool b) { return b; })) return m;
  }
  return std::nullopt;
}

}  // namespace mesh
