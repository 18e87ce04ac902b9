// Which of a line's points lie within a tolerance of a mesh, found from the
// mesh's side: the points (a few thousand) in a k-d tree (nanoflann), and
// each triangle near them (its box within the points' box) asking the tree
// for the points within its reach. A mesh of 200 000 facets is then one
// pass over its triangles, most passed over by their box, rather than a
// tree built over all of them; the exact distance of a point off the mesh
// is left to MeshIndex, whose dearer build only a faulty line pays. A line
// of more points than the mesh has facets is the other way round: the
// triangles in MeshIndex, asked by each point.
#pragma once

#include <vector>

#include "mesh/mesh.h"

namespace mesh {

// For each point of `points`, whether some triangle of `mesh` lies within
// `tolerance` of it (the same answer as MeshIndex::within).
std::vector<bool> points_on_mesh(const qfm::PointList& points, const Mesh& mesh, double tolerance);

}  // namespace mesh
