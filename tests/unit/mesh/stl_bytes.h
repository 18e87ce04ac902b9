// Small STL files made in memory for the mesh tests: binary and ASCII forms
// of a few closed solids, and the faults planted in them.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "mesh/mesh.h"

namespace mesh_test {

// A closed tetrahedron with its corners turning outward (positive volume,
// 1/6), corners at the origin and on the three axes.
inline std::vector<mesh::Triangle> tetrahedron() {
  const qfm::Vec3 o{0, 0, 0}, x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
  return {{o, y, x}, {o, x, z}, {o, z, y}, {x, y, z}};
}

// A closed box of two triangles a face, from `low` to `high`, facing out.
inline std::vector<mesh::Triangle> box(qfm::Vec3 low, qfm::Vec3 high) {
  auto corner = [&](int i) {
    return qfm::Vec3{(i & 1) ? high.x : low.x, (i & 2) ? high.y : low.y, (i & 4) ? high.z : low.z};
  };
  // Each face's corners in turn, seen from outside.
  const int faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                           {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  std::vector<mesh::Triangle> triangles;
  for (const auto& f : faces) {
    triangles.push_back({corner(f[0]), corner(f[1]), corner(f[2])});
    triangles.push_back({corner(f[0]), corner(f[2]), corner(f[3])});
  }
  return triangles;
}

// The same triangles with their corners turning the other way.
inline std::vector<mesh::Triangle> reversed(std::vector<mesh::Triangle> triangles) {
  for (auto& t : triangles) std::swap(t[1], t[2]);
  return triangles;
}

inline void put_u32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

inline void put_float(std::string& out, double value) {
  const float f = static_cast<float>(value);
  std::uint32_t bits = 0;
  std::memcpy(&bits, &f, sizeof bits);
  put_u32(out, bits);
}

// A binary STL of `triangles` (normals left zero, as some exporters write
// them), with `label` at the front of its 80-byte label.
inline std::string binary_stl(const std::vector<mesh::Triangle>& triangles,
                              const std::string& label = "binary test mesh") {
  std::string out = label.substr(0, 80);
  out.resize(80, ' ');
  put_u32(out, static_cast<std::uint32_t>(triangles.size()));
  for (const auto& t : triangles) {
    for (int i = 0; i < 3; ++i) put_float(out, 0);
    for (const auto& corner : t) {
      put_float(out, corner.x);
      put_float(out, corner.y);
      put_float(out, corner.z);
    }
    out.append(2, '\0');
  }
  return out;
}

inline std::string ascii_stl(const std::vector<mesh::Triangle>& triangles) {
  std::string out = "solid test\n";
  auto number = [](double v) { return std::to_string(v); };
  for (const auto& t : triangles) {
    out += "  facet normal 0 0 0\n    outer loop\n";
    for (const auto& c : t) {
      out += "      vertex " + number(c.x) + " " + number(c.y) + " " + number(c.z) + "\n";
    }
    out += "    endloop\n  endfacet\n";
  }
  out += "endsolid test\n";
  return out;
}

}  // namespace mesh_test

namespace mesh_test {

// A closed sphere of `rings` × `segments` quads (split into triangles),
// centred at `centre`, facing out.
inline std::vector<mesh::Triangle> sphere(qfm::Vec3 centre, double radius, int rings,
                                          int segments) {
  const double pi = 3.14159265358979323846;
  auto at = [&](int ring, int segment) {
    const double theta = pi * ring / rings;
    const double phi = 2 * pi * segment / segments;
    return qfm::Vec3{centre.x + radius * std::sin(theta) * std::cos(phi),
                     centre.y + radius * std::sin(theta) * std::sin(phi),
                     centre.z + radius * std::cos(theta)};
  };
  std::vector<mesh::Triangle> triangles;
  for (int r = 0; r < rings; ++r) {
    for (int s = 0; s < segments; ++s) {
      const qfm::Vec3 a = at(r, s), b = at(r + 1, s), c = at(r + 1, s + 1), d = at(r, s + 1);
      if (r != 0) triangles.push_back({a, b, d});
      if (r != rings - 1) triangles.push_back({b, c, d});
    }
  }
  return triangles;
}

inline mesh::Mesh mesh_of(std::vector<mesh::Triangle> triangles) {
  mesh::Mesh m;
  m.facet_count = triangles.size();
  m.triangles.assign(triangles.begin(), triangles.end());
  return m;
}

}  // namespace mesh_test
