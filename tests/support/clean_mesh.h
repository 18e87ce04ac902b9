// A product's mesh for cases that must check clean: a closed tetrahedron,
// written as an ASCII STL, whose extents are the box [0, 0, 1.5, 10, 10,
// 9.5] and whose edge from (0, 1, 2) to (7.5, 8.5, 9.5) carries the margin
// points that the tests write (1 2 3, 4 5 6, 7 8 9, any (t, t+1, t+2)).
#pragma once

#include <array>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

using Corner = std::array<double, 3>;

// The box the default mesh fills, as a case file writes it.
inline constexpr std::string_view kCleanMeshBox = "[0, 0, 1.5, 10, 10, 9.5]";

// An ASCII STL of a tetrahedron whose corners a, b, c, d turn positively,
// each facet facing out; `turned` faces them in, `open` leaves out the
// last facet (three open edges).
inline std::string tetrahedron_stl(const Corner& a, const Corner& b, const Corner& c,
                                   const Corner& d, bool turned = false, bool open = false) {
  std::vector<std::array<Corner, 3>> facets = {{a, c, b}, {a, b, d}, {a, d, c}, {b, c, d}};
  if (open) facets.pop_back();
  std::ostringstream text;
  text << "solid t\n";
  for (auto facet : facets) {
    if (turned) std::swap(facet[1], facet[2]);
    text << "facet normal 0 0 0\nouter loop\n";
    for (const Corner& corner : facet)
      text << "vertex " << corner[0] << ' ' << corner[1] << ' ' << corner[2] << '\n';
    text << "endloop\nendfacet\n";
  }
  text << "endsolid t\n";
  return text.str();
}

// The mesh of kCleanMeshBox.
inline std::string clean_mesh_stl(bool turned = false, bool open = false) {
  return tetrahedron_stl({0, 1, 2}, {7.5, 8.5, 9.5}, {10, 0, 1.5}, {5, 10, 5}, turned, open);
}

}  // namespace testing_support
