#include "mesh/points_on_mesh.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "mesh/mesh_index.h"
#include "mesh/point_cloud.h"
#include "mesh/triangle_distance.h"

namespace mesh {

namespace {

constexpr std::size_t kLeafSize = 8;

using Points = PointCloud;
using PointTree = PointCloudTree;

struct Box {
  std::array<double, 3> low{};
  std::array<double, 3> high{};
};

bool overlaps(const Box& a, const Box& b) {
  for (std::size_t axis = 0; axis < 3; ++axis) {
    if (a.high[axis] < b.low[axis] || b.high[axis] < a.low[axis]) return false;
  }
  return true;
}

Box box_of(const Triangle& t) {
  Box box;
  box.low = {std::min({t[0].x, t[1].x, t[2].x}), std::min({t[0].y, t[1].y, t[2].y}),
             std::min({t[0].z, t[1].z, t[2].z})};
  box.high = {std::max({t[0].x, t[1].x, t[2].x}), std::max({t[0].y, t[1].y, t[2].y}),
              std::max({t[0].z, t[1].z, t[2].z})};
  return box;
}

double distance_between(const qfm::Vec3& a, const qfm::Vec3& b) {
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                   (a.z - b.z) * (a.z - b.z));
}

// A line of more points than its mesh has facets (hundreds of thousands of
// inline points on a small mesh): the triangles indexed rather than the
// points, and each point tried first on the triangle that held the point
// before it, which holds most of a line's points, each near the last.
std::vector<bool> points_on_few_triangles(const qfm::PointList& points, const Mesh& mesh,
                                          double tolerance) {
  std::vector<bool> on(points.size(), false);
  const MeshIndex index(mesh);
  const double allowed = tolerance * tolerance;
  std::optional<std::size_t> last;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (last && squared_distance(points[i], mesh.triangles[*last]) <= allowed) {
      on[i] = true;
      continue;
    }
    if (const auto holder = index.triangle_within(points[i], tolerance)) {
      on[i] = true;
      last = holder;
    }
  }
  return on;
}

}  // namespace

// GCC 12 at -O2, inlining nanoflann's build, takes a vector it resizes for
// one that may hold a null pointer (-Wnull-dereference on libstdc++'s own
// construct); the warning is off for this function alone.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnull-dereference"
std::vector<bool> points_on_mesh(const qfm::PointList& points, const Mesh& mesh, double tolerance) {
  if (points.size() > mesh.triangles.size())
    return points_on_few_triangles(points, mesh, tolerance);
  std::vector<bool> on(points.size(), false);
  Points cloud;
  cloud.points.resize(points.size());
  Box reach;  // the points' box, widened by the tolerance
  reach.low.fill(std::numeric_limits<double>::infinity());
  reach.high.fill(-std::numeric_limits<double>::infinity());
  for (std::size_t i = 0; i < points.size(); ++i) {
    cloud.points[i] = {points[i].x, points[i].y, points[i].z};
    for (std::size_t axis = 0; axis < 3; ++axis) {
      reach.low[axis] = std::min(reach.low[axis], cloud.points[i][axis] - tolerance);
      reach.high[axis] = std::max(reach.high[axis], cloud.points[i][axis] + tolerance);
    }
  }
  if (points.empty()) return on;
  PointTree tree(3, cloud, nanoflann::KDTreeSingleIndexAdaptorParams(kLeafSize));
  tree.buildIndex();
  const double allowed = tolerance * tolerance;
  std::size_t left = points.size();
  std::vector<std::pair<std::size_t, double>> found;
  for (const Triangle& triangle : mesh.triangles) {
    if (!overlaps(box_of(triangle), reach)) continue;
    const qfm::Vec3 centre{(triangle[0].x + triangle[1].x + triangle[2].x) / 3,
                           (triangle[0].y + triangle[1].y + triangle[2].y) / 3,
                           (triangle[0].z + triangle[1].z + triangle[2].z) / 3};
    // No point of the triangle is farther from its centre than its farthest
    // corner, so the points within the tolerance lie within this radius.
    const double radius = tolerance + std::max({distance_between(triangle[0], centre),
                                                distance_between(triangle[1], centre),
                                                distance_between(triangle[2], centre)});
    const double query[3] = {centre.x, centre.y, centre.z};
    tree.radiusSearch(query, radius * radius, found, nanoflann::SearchParams(32, 0, false));
    for (const auto& [index, squared] : found) {
      if (on[index] || squared_distance(points[index], triangle) > allowed) continue;
      on[index] = true;
      if (--left == 0) return on;
    }
  }
  return on;
}
#pragma GCC diagnostic pop

}  // namespace mesh
