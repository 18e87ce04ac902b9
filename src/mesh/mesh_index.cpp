#include "mesh/mesh_index.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "mesh/point_cloud.h"
#include "mesh/triangle_distance.h"

namespace mesh {

namespace {

// A triangle reaching farther than this many times the reach of most
// (the 95th percentile) is measured outside the tree.
constexpr double kLooseReachFactor = 4;
// The nearest centres asked for first; doubled until the nearest triangle
// is sure to be among them.
constexpr std::size_t kFirstCandidates = 16;
// Centres in a leaf of the tree: fewer, deeper leaves cost more to build
// than the few more centres they spare a search.
constexpr std::size_t kLeafSize = 24;

// The triangles' centres, in the order of the triangles.
using Centres = PointCloud;
using KdTree = PointCloudTree;

qfm::Vec3 centre_of(const Triangle& t) {
  return {(t[0].x + t[1].x + t[2].x) / 3, (t[0].y + t[1].y + t[2].y) / 3,
          (t[0].z + t[1].z + t[2].z) / 3};
}

double distance_between(const qfm::Vec3& a, const qfm::Vec3& b) {
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                   (a.z - b.z) * (a.z - b.z));
}

double reach_of(const Triangle& t, const qfm::Vec3& centre) {
  return std::max({distance_between(t[0], centre), distance_between(t[1], centre),
                   distance_between(t[2], centre)});
}

}  // namespace

struct MeshIndex::Tree {
  const Triangle* triangles = nullptr;  // the mesh's, which outlives the index
  Centres centres;
  std::vector<std::size_t> in_tree;  // the triangle of each centre
  std::vector<std::size_t> loose;    // triangles measured every time
  double reach = 0;                  // the largest reach in the tree
  std::unique_ptr<KdTree> kd;

  double nearest_loose(const qfm::Vec3& point) const {
    double best = std::numeric_limits<double>::infinity();
    for (const std::size_t t : loose) best = std::min(best, squared_distance(point, triangles[t]));
    return best;
  }
};

// GCC 12 at -O2, inlining nanoflann's build, takes a vector it resizes for
// one that may hold a null pointer (-Wnull-dereference on libstdc++'s own
// construct); the warning is off for this constructor alone.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnull-dereference"
MeshIndex::MeshIndex(const Mesh& mesh) : tree_(std::make_unique<Tree>()) {
  Tree& tree = *tree_;
  tree.triangles = mesh.triangles.data();
  const std::size_t count = mesh.triangles.size();
  std::vector<qfm::Vec3> centres(count);
  std::vector<double> reaches(count);
  for (std::size_t t = 0; t < count; ++t) {
    centres[t] = centre_of(mesh.triangles[t]);
    reaches[t] = reach_of(mesh.triangles[t], centres[t]);
  }
  double limit = std::numeric_limits<double>::infinity();
  if (count > 0) {
    std::vector<double> sorted = reaches;
    const auto at = sorted.begin() + static_cast<std::ptrdiff_t>(count * 95 / 100);
    std::nth_element(sorted.begin(), at, sorted.end());
    limit = kLooseReachFactor * *at;
  }
  for (std::size_t t = 0; t < count; ++t) {
    if (reaches[t] > limit) {
      tree.loose.push_back(t);
    } else {
      tree.in_tree.push_back(t);
      tree.reach = std::max(tree.reach, reaches[t]);
    }
  }
  tree.centres.points.resize(tree.in_tree.size());
  for (std::size_t i = 0; i < tree.in_tree.size(); ++i) {
    const qfm::Vec3& centre = centres[tree.in_tree[i]];
    tree.centres.points[i] = {centre.x, centre.y, centre.z};
  }
  if (!tree.centres.points.empty()) {
    tree.kd = std::make_unique<KdTree>(3, tree.centres,
                                       nanoflann::KDTreeSingleIndexAdaptorParams(kLeafSize));
    tree.kd->buildIndex();
  }
}

#pragma GCC diagnostic pop

MeshIndex::MeshIndex(MeshIndex&&) noexcept = default;
MeshIndex& MeshIndex::operator=(MeshIndex&&) noexcept = default;
MeshIndex::~MeshIndex() = default;

double MeshIndex::distance(const qfm::Vec3& point) const {
  const Tree& tree = *tree_;
  double best = tree.nearest_loose(point);
  if (tree.kd) {
    const double query[3] = {point.x, point.y, point.z};
    const std::size_t size = tree.centres.points.size();
    std::vector<std::size_t> found;
    std::vector<double> squared;
    for (std::size_t wanted = std::min(kFirstCandidates, size);;
         wanted = std::min(2 * wanted, size)) {
      found.resize(wanted);
      squared.resize(wanted);
      const std::size_t got = tree.kd->knnSearch(query, wanted, found.data(), squared.data());
      for (std::size_t i = 0; i < got; ++i) {
        best = std::min(best, squared_distance(point, tree.triangles[tree.in_tree[found[i]]]));
      }
      // Every centre left is at least as far as the last one found, so its
      // triangle no nearer than that less the reach.
      const double farthest = got > 0 ? std::sqrt(squared[got - 1]) : 0;
      const double nearest_left = farthest - tree.reach;
      if (got == size || (nearest_left > 0 && nearest_left * nearest_left >= best)) break;
    }
  }
  return std::sqrt(best);
}

bool MeshIndex::within(const qfm::Vec3& point, double tolerance) const {
  return triangle_within(point, tolerance).has_value();
}

std::optional<std::size_t> MeshIndex::triangle_within(const qfm::Vec3& point,
                                                      double tolerance) const {
  const Tree& tree = *tree_;
  const double allowed = tolerance * tolerance;
  for (const std::size_t t : tree.loose) {
    if (squared_distance(point, tree.triangles[t]) <= allowed) return t;
  }
  if (!tree.kd) return std::nullopt;
  const double query[3] = {point.x, point.y, point.z};
  std::size_t nearest = 0;
  double nearest_squared = 0;
  tree.kd->knnSearch(query, 1, &nearest, &nearest_squared);
  if (std::sqrt(nearest_squared) > tolerance + tree.reach) return std::nullopt;
  if (squared_distance(point, tree.triangles[tree.in_tree[nearest]]) <= allowed)
    return tree.in_tree[nearest];
  const double radius = tolerance + tree.reach;
  std::vector<std::pair<std::size_t, double>> candidates;
  tree.kd->radiusSearch(query, radius * radius, candidates, nanoflann::SearchParams(32, 0, false));
  for (const auto& candidate : candidates) {
    const std::size_t t = tree.in_tree[candidate.first];
    if (squared_distance(point, tree.triangles[t]) <= allowed) return t;
  }
  return std::nullopt;
}

}  // namespace mesh
