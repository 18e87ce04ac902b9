// A product's mesh as read from its STL file: the triangles, for the
// distance of margin points and for drawing, and what the STL reader
// measured of them. Or, when the file cannot be read as an STL, what is
// wrong with it.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "mesh/list_room.h"
#include "qfm/point_list.h"

namespace mesh {

using Triangle = std::array<qfm::Vec3, 3>;
// On the list room (list_room.h): a mesh of 200 000 facets takes 14 MB.
using Triangles = RoomList<Triangle>;

// The smallest and largest coordinate on each axis.
struct Extents {
  qfm::Vec3 min;
  qfm::Vec3 max;
};

struct Mesh {
  // Every facet of the file, in its order, degenerate ones included.
  Triangles triangles;
  std::size_t facet_count = 0;
  // Edges that no other facet shares: 0 for a closed mesh.
  std::size_t open_edges = 0;
  // Facets with two corners at the same point (no area, no direction).
  std::size_t degenerate_facets = 0;
  // Signed: negative when the facets' corners turn the other way round
  // (their faces point inward), the mesh inside out.
  double volume = 0;
  Extents extents;
};

// Why an STL file could not be read.
enum class StlFault {
  CannotOpen,      // the system's error, or not a regular file
  TooLarge,        // more than kLargestStlBytes
  NotStl,          // neither a binary STL nor text beginning with "solid"
  SizeMismatch,    // a binary STL whose facet count does not match its size
  ZeroFacets,      // an STL of no facet
  AsciiCutShort,   // an ASCII STL that ends inside a facet or before "endsolid"
  AsciiMalformed,  // an ASCII STL with a word or number out of place
  NotFinite,       // a corner coordinate that is NaN or an infinity
  OutOfMemory,     // no room for the facets
};

struct StlError {
  StlFault fault = StlFault::NotStl;
  // What is wrong, as a sentence's end: "a binary STL whose header counts
  // 4294967295 facets, but whose 100 bytes hold 0".
  std::string message;
};

}  // namespace mesh
