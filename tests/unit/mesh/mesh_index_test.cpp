#include "mesh/mesh_index.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "mesh/triangle_distance.h"
#include "stl_bytes.h"

namespace {

using mesh_test::mesh_of;
using mesh_test::sphere;

TEST(TriangleDistance, MeasuresEachRegion) {
  const mesh::Triangle t{qfm::Vec3{0, 0, 0}, qfm::Vec3{2, 0, 0}, qfm::Vec3{0, 2, 0}};
  struct Row {
    const char* name;
    qfm::Vec3 point;
    double squared;
  };
  const Row rows[] = {
      {"above the face", {0.5, 0.5, 3}, 9},      {"beyond a corner", {-1, -1, 0}, 2},
      {"beyond the far corner", {3, 0, 1}, 2},   {"beside an edge", {1, -2, 0}, 4},
      {"beside the slanted edge", {2, 2, 0}, 2}, {"on the face", {0.25, 0.25, 0}, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_NEAR(mesh::squared_distance(row.point, t), row.squared, 1e-12);
  }
  const mesh::Triangle flat{qfm::Vec3{0, 0, 0}, qfm::Vec3{2, 0, 0}, qfm::Vec3{4, 0, 0}};
  EXPECT_NEAR(mesh::squared_distance({3, 1, 0}, flat), 1, 1e-12);
  const mesh::Triangle dot{qfm::Vec3{1, 1, 1}, qfm::Vec3{1, 1, 1}, qfm::Vec3{1, 1, 1}};
  EXPECT_NEAR(mesh::squared_distance({1, 1, 3}, dot), 4, 1e-12);
}

double brute_force(const mesh::Mesh& m, const qfm::Vec3& p) {
  double best = std::numeric_limits<double>::infinity();
  for (const auto& t : m.triangles) best = std::min(best, mesh::squared_distance(p, t));
  return std::sqrt(best);
}

// The tree's answer is the exact one: compared with every triangle measured,
// for points on, near, inside and far from a sphere with a large flat lid
// (two triangles far larger than the rest, kept out of the tree).
TEST(MeshIndex, AgreesWithEveryTriangleMeasured) {
  auto triangles = sphere({0, 0, 0}, 5, 40, 60);
  triangles.push_back({qfm::Vec3{-30, -30, 8}, qfm::Vec3{30, -30, 8}, qfm::Vec3{30, 30, 8}});
  triangles.push_back({qfm::Vec3{-30, -30, 8}, qfm::Vec3{30, 30, 8}, qfm::Vec3{-30, 30, 8}});
  const mesh::Mesh m = mesh_of(triangles);
  const mesh::MeshIndex index(m);
  std::mt19937 random(7);
  std::uniform_real_distribution<double> coordinate(-12, 12);
  for (int i = 0; i < 300; ++i) {
    const qfm::Vec3 p{coordinate(random), coordinate(random), coordinate(random)};
    SCOPED_TRACE(i);
    const double exact = brute_force(m, p);
    EXPECT_NEAR(index.distance(p), exact, 1e-9);
    for (const double tolerance : {0.05, 0.5, 3.0}) {
      EXPECT_EQ(index.within(p, tolerance), exact <= tolerance) << tolerance;
    }
  }
  // A corner of the mesh lies on it.
  EXPECT_NEAR(index.distance(m.triangles[100][1]), 0, 1e-12);
  EXPECT_TRUE(index.within(m.triangles[100][1], 0));
}

// Triangles of many sizes and shapes, scattered: the nearest centre is
// often not the nearest triangle's, which the search must allow for.
TEST(MeshIndex, FindsTheNearestTriangleWhoseCentreIsNotTheNearest) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> place(0, 10);
  std::uniform_real_distribution<double> offset(-1.5, 1.5);
  std::vector<mesh::Triangle> soup;
  for (int i = 0; i < 2000; ++i) {
    const qfm::Vec3 c{place(random), place(random), place(random)};
    soup.push_back({qfm::Vec3{c.x + offset(random), c.y + offset(random), c.z},
                    qfm::Vec3{c.x + offset(random), c.y, c.z + offset(random)},
                    qfm::Vec3{c.x, c.y + offset(random), c.z + offset(random)}});
  }
  const mesh::Mesh m = mesh_of(soup);
  const mesh::MeshIndex index(m);
  std::uniform_real_distribution<double> coordinate(-2, 12);
  for (int i = 0; i < 500; ++i) {
    const qfm::Vec3 p{coordinate(random), coordinate(random), coordinate(random)};
    SCOPED_TRACE(i);
    const double exact = brute_force(m, p);
    ASSERT_NEAR(index.distance(p), exact, 1e-9);
    for (const double tolerance : {0.05, 0.2}) {
      ASSERT_EQ(index.within(p, tolerance), exact <= tolerance) << tolerance;
    }
  }
}

TEST(MeshIndex, AMeshOfNoTriangleIsInfinitelyFar) {
  const mesh::Mesh empty;
  const mesh::MeshIndex index(empty);
  EXPECT_EQ(index.distance({0, 0, 0}), std::numeric_limits<double>::infinity());
  EXPECT_FALSE(index.within({0, 0, 0}, 1e9));
}

}  // namespace
