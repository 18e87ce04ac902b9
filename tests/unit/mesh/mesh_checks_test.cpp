#include "mesh/mesh_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using mesh::Axis;
using mesh::Bound;

TEST(MeshChecks, ComparesTheBoxWithTheExtents) {
  const mesh::Extents extents{{-4, -3, 0.5}, {4, 3, 9.5}};
  struct Row {
    const char* name;
    std::vector<double> box;
    std::optional<mesh::BoxMismatch> mismatch;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Row rows[] = {
      {"equal", {-4, -3, 0.5, 4, 3, 9.5}, std::nullopt},
      {"within the tolerance", {-4.04, -2.96, 0.54, 4.04, 3, 9.46}, std::nullopt},
      {"stale height",
       {-4, -3, 0.5, 4, 3, 10.5},
       mesh::BoxMismatch{Axis::Z, Bound::Max, 10.5, 9.5, 10}},
      {"min before max",
       {-4, -3.2, 0.5, 4, 3, 12},
       mesh::BoxMismatch{Axis::Y, Bound::Min, -3.2, -3, 11.5}},
      {"nan", {-4, -3, 0.5, nan, 3, 9.5}, mesh::BoxMismatch{Axis::X, Bound::Max, nan, 4, 9}},
      {"short box", {-4, -3, 0.5}, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto mismatch = mesh::compare_box_with_extents(row.box, extents);
    ASSERT_EQ(mismatch.has_value(), row.mismatch.has_value());
    if (!mismatch) continue;
    EXPECT_EQ(mismatch->axis, row.mismatch->axis);
    EXPECT_EQ(mismatch->bound, row.mismatch->bound);
    EXPECT_EQ(mismatch->mesh_value, row.mismatch->mesh_value);
    EXPECT_DOUBLE_EQ(mismatch->box_height, row.mismatch->box_height);
    if (!std::isnan(row.mismatch->box_value)) {
      EXPECT_EQ(mismatch->box_value, row.mismatch->box_value);
    }
  }
  EXPECT_EQ(mesh::axis_name(Axis::Z), "z");
}

TEST(MeshChecks, FindsCoordinatesThatAreNotNumbers) {
  const double inf = std::numeric_limits<double>::infinity();
  const qfm::PointList points{{1, 2, 3}, {4, 5, 6}, {7, -inf, 9}, {std::nan(""), 0, 0}};
  const auto found = mesh::find_not_finite(points);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->index, 2u);
  EXPECT_EQ(found->axis, Axis::Y);
  EXPECT_EQ(found->value, -inf);
  EXPECT_FALSE(mesh::find_not_finite(qfm::PointList{{1, 2, 3}}));
  const auto in_box = mesh::find_not_finite(std::vector<double>{0, 0, 0, 1, 1, inf});
  ASSERT_TRUE(in_box);
  EXPECT_EQ(in_box->index, 5u);
  EXPECT_EQ(in_box->axis, Axis::Z);
}

TEST(MeshChecks, TellsAnInsideOutOrOpenMesh) {
  mesh::Mesh m;
  m.volume = 12;
  EXPECT_FALSE(mesh::inside_out_volume(m));
  EXPECT_FALSE(mesh::open_edge_count(m));
  m.volume = -12;
  m.open_edges = 3;
  EXPECT_EQ(mesh::inside_out_volume(m), -12);
  EXPECT_EQ(mesh::open_edge_count(m), 3u);
}

}  // namespace
