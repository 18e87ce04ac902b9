// The distance from points to one mesh, asked for thousands of margin
// points: the triangles' centres in a k-d tree (nanoflann), each candidate
// measured exactly (triangle_distance.h). A triangle lies no nearer than
// its centre's distance less its reach (the farthest corner from the
// centre), so the nearest centres, widened by the largest reach, hold the
// nearest triangle. The few triangles far larger than the rest (a flat base
// of two facets) are kept out of the tree and measured every time, so that
// they do not widen every search.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include "mesh/mesh.h"

namespace mesh {

class MeshIndex {
 public:
  // Indexes the triangles of `mesh`, which must outlive the index.
  explicit MeshIndex(const Mesh& mesh);
  MeshIndex(MeshIndex&&) noexcept;
  MeshIndex& operator=(MeshIndex&&) noexcept;
  ~MeshIndex();

  // The exact distance from `point` to the nearest triangle; infinity for
  // a mesh of no triangle.
  double distance(const qfm::Vec3& point) const;

  // Whether some triangle lies within `tolerance` of `point`: the same
  // answer as distance(point) <= tolerance, in fewer steps for a point far
  // off the mesh.
  bool within(const qfm::Vec3& point, double tolerance) const;

  // A triangle (its place in the mesh) within `tolerance` of `point`, as
  // within() finds it; none when within() is false.
  std::optional<std::size_t> triangle_within(const qfm::Vec3& point, double tolerance) const;

 private:
  struct Tree;
  std::unique_ptr<Tree> tree_;
};

}  // namespace mesh
