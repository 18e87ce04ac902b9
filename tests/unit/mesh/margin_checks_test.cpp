#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "mesh/margin_fit.h"
#include "mesh/margin_shape.h"
#include "mesh/points_on_mesh.h"
#include "stl_bytes.h"

namespace {

using mesh_test::mesh_of;
using mesh_test::sphere;

// `count` points on a circle of `radius` about the z axis at height `z`.
qfm::PointList circle(double radius, double z, int count, qfm::Vec3 centre = {}) {
  qfm::PointList points;
  for (int i = 0; i < count; ++i) {
    const double angle = 2 * 3.14159265358979323846 * i / count;
    points.push_back(
        {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle), centre.z + z});
  }
  return points;
}

TEST(MarginFit, FindsPointsOffTheMeshAndTheFarthest) {
  // The equator of a finely divided sphere lies on it within 0.01 mm.
  const mesh::Mesh ball = mesh_of(sphere({0, 0, 0}, 5, 90, 180));
  qfm::PointList points = circle(5, 0, 50);
  EXPECT_FALSE(mesh::find_points_off_mesh(points, ball));
  points[7].x += 0.3;
  points[30].z += 2;
  const auto off = mesh::find_points_off_mesh(points, ball);
  ASSERT_TRUE(off);
  EXPECT_EQ(off->off_count, 2u);
  EXPECT_EQ(off->farthest, 30u);
  EXPECT_GT(off->farthest_distance, 0.3);
  EXPECT_FALSE(mesh::find_points_off_mesh({}, ball));
}

// Both passes give MeshIndex's answer, for points on, near and far from a
// sphere, the tolerance reached or not: from the triangles' side on a fine
// sphere (fewer points than facets), from the points' side, each tried on
// the last point's triangle first, on a coarse one (more points).
TEST(MarginFit, PointsOnMeshAgreeWithTheIndex) {
  const struct {
    int rings;
    int segments;
  } spheres[] = {{30, 50}, {4, 6}};
  for (const auto& [rings, segments] : spheres) {
    SCOPED_TRACE(rings);
    const mesh::Mesh ball = mesh_of(sphere({1, 2, 3}, 5, rings, segments));
    const mesh::MeshIndex index(ball);
    qfm::PointList points;
    for (int i = 0; i < 400; ++i) {
      const double scale = 0.9 + 0.0005 * i;  // from inside the sphere to outside
      const double angle = 0.1 * i;
      points.push_back({1 + 5 * scale * std::cos(angle), 2 + 5 * scale * std::sin(angle),
                        3 + std::sin(0.37 * i)});
    }
    for (const double tolerance : {0.0, 0.05, 0.3}) {
      SCOPED_TRACE(tolerance);
      const std::vector<bool> on = mesh::points_on_mesh(points, ball, tolerance);
      for (std::size_t i = 0; i < points.size(); ++i) {
        ASSERT_EQ(on[i], index.within(points[i], tolerance)) << i;
      }
    }
  }
}

TEST(MarginFit, NamesTheMeshASwappedLineFits) {
  const mesh::Mesh first = mesh_of(sphere({0, 0, 0}, 5, 90, 180));
  const mesh::Mesh second = mesh_of(sphere({12, 0, 0}, 4, 90, 180));
  const mesh::Mesh* meshes[] = {&first, nullptr, &second};
  const qfm::PointList on_second = circle(4, 0, 40, {12, 0, 0});
  EXPECT_EQ(mesh::find_mesh_the_line_fits(on_second, meshes, 0), 2u);
  EXPECT_FALSE(mesh::find_mesh_the_line_fits(on_second, meshes, 2));
  EXPECT_FALSE(mesh::find_mesh_the_line_fits(circle(9, 0, 40), meshes, 0));
  EXPECT_FALSE(mesh::find_mesh_the_line_fits({}, meshes, 0));
}

TEST(MarginShape, FindsOneMistypedCoordinate) {
  qfm::PointList points = circle(5, 0, 60);  // spaced about 0.52 mm
  EXPECT_FALSE(mesh::find_spike(points));
  points[12].x = points[12].x * 10;  // 4.07 typed 40.7
  const auto spike = mesh::find_spike(points);
  ASSERT_TRUE(spike);
  EXPECT_EQ(spike->index, 12u);
  EXPECT_NEAR(spike->usual_spacing, 0.5234, 1e-3);
  EXPECT_GT(spike->jump, 10);
  // The first point has the last for a neighbour.
  points = circle(5, 0, 60);
  points[0].z = 12.5;
  ASSERT_TRUE(mesh::find_spike(points));
  EXPECT_EQ(mesh::find_spike(points)->index, 0u);
}

TEST(MarginShape, TakesAGapOrASparseLineForNoSpike) {
  // Half a circle: the closing step is long, but both ends have near
  // neighbours.
  qfm::PointList half;
  for (const auto& p : circle(5, 0, 60)) {
    if (p.y >= 0) half.push_back(p);
  }
  EXPECT_FALSE(mesh::find_spike(half));
  // Five points far apart: the usual spacing is large.
  EXPECT_FALSE(mesh::find_spike(circle(5, 0, 5)));
  EXPECT_FALSE(mesh::find_spike(circle(5, 0, 4)));
  qfm::PointList with_nan = circle(5, 0, 60);
  with_nan[3].y = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(mesh::find_spike(with_nan));
}

TEST(MarginShape, NamesTheLikelyUnit) {
  struct Row {
    const char* name;
    double radius;
    std::optional<mesh::LikelyUnit> likely;
  };
  const Row rows[] = {
      {"millimetres", 5, std::nullopt},
      {"a bridge", 18, std::nullopt},
      {"micrometres", 5000, mesh::LikelyUnit::Micrometres},
      {"inches", 5 / 25.4, mesh::LikelyUnit::Inches},
      {"metres", 0.005, mesh::LikelyUnit::Metres},
      {"far too large", 1e6, mesh::LikelyUnit::Unknown},
      {"far too small", 1e-6, mesh::LikelyUnit::Unknown},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto mismatch = mesh::find_units_mismatch(circle(row.radius, 1, 40));
    ASSERT_EQ(mismatch.has_value(), row.likely.has_value());
    if (!mismatch) continue;
    EXPECT_EQ(mismatch->likely, *row.likely);
    // The most extreme value at each end is left out: 1.2 % less here.
    EXPECT_NEAR(mismatch->extent, 2 * row.radius, 2 * row.radius * 0.02);
  }
  EXPECT_FALSE(mesh::find_units_mismatch(qfm::PointList{{1, 2, 3}}));
  // Four points (typed by hand, a sketch) say nothing of an export's unit;
  // five do.
  EXPECT_FALSE(mesh::find_units_mismatch(circle(5000, 1, 4)));
  EXPECT_TRUE(mesh::find_units_mismatch(circle(5000, 1, 5)));
  // One mistyped coordinate is a spike, not the line's unit.
  qfm::PointList spiked = circle(5, 1, 40);
  spiked[9].x = 125;
  EXPECT_FALSE(mesh::find_units_mismatch(spiked));
}

}  // namespace
