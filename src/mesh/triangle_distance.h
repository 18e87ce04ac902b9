// The exact distance from a point to a triangle (its closest point found by
// the triangle's regions of corners, edges and face), the one measure of
// every distance to a mesh.
#pragma once

#include "mesh/mesh.h"

namespace mesh {

// The square of the distance from `point` to the nearest point of
// `triangle`; a degenerate triangle is measured as its segment or point.
double squared_distance(const qfm::Vec3& point, const Triangle& triangle);

}  // namespace mesh
