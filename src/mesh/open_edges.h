// The open edges of a mesh, counted from its corners alone: each corner
// given a number (equal corners the same), each edge filed under its
// smaller corner, and an edge open when an odd number of facets share it
// (one facet alone; of three, the one left once two are paired). The cost
// grows with the facets, so that a small mesh pays little; a hash table of
// a fixed size, cleared for every file, made small meshes dear. No I/O.
#pragma once

#include <cstddef>
#include <span>

#include "mesh/mesh.h"

namespace mesh {

struct EdgeCount {
  std::size_t open_edges = 0;
  // Facets with two corners at the same point: set aside, their edges not
  // counted.
  std::size_t degenerate_facets = 0;
};

EdgeCount count_open_edges(std::span<const Triangle> triangles);

}  // namespace mesh
