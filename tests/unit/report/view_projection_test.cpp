#include "report/view_projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

double dot(const qfm::Vec3& a, const qfm::Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

qfm::Vec3 cross(const qfm::Vec3& a, const qfm::Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void expect_near(const qfm::Vec3& a, const qfm::Vec3& b) {
  EXPECT_NEAR(a.x, b.x, 1e-12);
  EXPECT_NEAR(a.y, b.y, 1e-12);
  EXPECT_NEAR(a.z, b.z, 1e-12);
}

TEST(ViewAxes, AreUnitRightHandedAndLookDownTheToothAxisFromAbove) {
  const qfm::Vec3 axes_given[] = {
      {0, 0, 1}, {0, 0, -3}, {0.35, 0, 1}, {1, 0, 0}, {-2, 0.1, 0}, {1, 2, 3}, {0, 0, 0},
  };
  for (const qfm::Vec3& given : axes_given) {
    SCOPED_TRACE(testing::Message() << given.x << " " << given.y << " " << given.z);
    const auto views = report::view_axes(given);
    const double length = std::sqrt(dot(given, given));
    const qfm::Vec3 axis = length > 0
                               ? qfm::Vec3{given.x / length, given.y / length, given.z / length}
                               : qfm::Vec3{0, 0, 1};
    expect_near(views[0].toward_viewer, axis);
    // The sides stand the tooth upright.
    expect_near(views[1].up, axis);
    expect_near(views[2].up, axis);
    for (const report::ViewAxes& view : views) {
      EXPECT_NEAR(dot(view.right, view.right), 1, 1e-12);
      EXPECT_NEAR(dot(view.up, view.up), 1, 1e-12);
      EXPECT_NEAR(dot(view.right, view.up), 0, 1e-12);
      expect_near(cross(view.right, view.up), view.toward_viewer);
    }
  }
}

TEST(ViewAxes, OfAnUprightToothAreThePlanesOfTheCoordinates) {
  const auto views = report::view_axes({0, 0, 1});
  expect_near(views[0].up, {1, 0, 0});
  expect_near(views[0].right, {0, -1, 0});
  expect_near(views[1].right, {0, -1, 0});
  expect_near(views[2].right, {1, 0, 0});
}

TEST(FitFrames, OneScaleFitsTheLargestExtentAndCentresEachView) {
  const auto views = report::view_axes({0, 0, 1});
  // A margin 10 mm across in y, 4 mm in x, 2 mm tall, centred at (1, 2, 3).
  const std::vector<qfm::Vec3> margin = {{-1, -3, 2}, {3, 7, 4}, {1, 2, 3}};
  const auto frames = report::fit_frames(views, {}, margin, 10, 10, 220, 0.5);
  for (const report::Frame& frame : frames) EXPECT_DOUBLE_EQ(frame.scale, 11);
  // From above, right is -y and up is x.
  EXPECT_DOUBLE_EQ(frames[0].centre.x, -2);
  EXPECT_DOUBLE_EQ(frames[0].centre.y, 1);
  const report::Point2 top = report::to_picture(frames[0], report::project(views[0], {3, 7, 4}));
  EXPECT_DOUBLE_EQ(top.x, 120 - 5 * 11);
  EXPECT_DOUBLE_EQ(top.y, 120 - 2 * 11);
  const report::Point2 side = report::to_picture(frames[1], report::project(views[1], {1, 2, 4}));
  EXPECT_DOUBLE_EQ(side.x, 120);
  EXPECT_DOUBLE_EQ(side.y, 120 - 11);
}

TEST(FitFrames, NothingToDrawOrAPointGetsAScaleAndNoNotANumber) {
  const auto views = report::view_axes({0, 0, 1});
  const std::vector<qfm::Vec3> one = {{5, 5, 5}, {NAN, 0, 0}};
  for (const auto& frames : {report::fit_frames(views, {}, {}, 0, 0, 100, 0.9),
                             report::fit_frames(views, {}, one, 0, 0, 100, 0.9)}) {
    for (const report::Frame& frame : frames) {
      EXPECT_EQ(frame.scale, 10);
      EXPECT_TRUE(std::isfinite(frame.centre.x) && std::isfinite(frame.centre.y));
    }
  }
}

// A cube of 10 mm; margin points on it, near it and far off.
std::vector<report::Triangle> cube_mesh() {
  std::vector<report::Triangle> mesh;
  const qfm::Vec3 low{0, 0, 0}, high{10, 10, 10};
  mesh.push_back({low, qfm::Vec3{10, 0, 0}, qfm::Vec3{0, 10, 0}});
  mesh.push_back({high, qfm::Vec3{0, 10, 10}, qfm::Vec3{10, 0, 10}});
  return mesh;
}

TEST(FitFrames, FrameTheMeshAndTheMarginPointsNearItAlone) {
  const auto views = report::view_axes({0, 0, 1});
  const std::vector<report::Triangle> mesh = cube_mesh();
  const struct {
    std::vector<qfm::Vec3> margin;
    double scale;  // 220 × 0.5 over the extent framed
  } rows[] = {
      {{}, 11},
      {{{0, 0, 2}, {10, 10, 2}}, 11},
      // 4 mm beyond the cube, within its size: framed (18 mm).
      {{{0, 0, 2}, {14, 10, 2}, {-4, 0, 0}}, 110.0 / 18},
      // A spike 50 m off, and a point past the 10 mm reach: left out.
      {{{0, 0, 2}, {50025, 5, 2}, {5, 5, -10.5}}, 11},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.margin.size());
    const auto frames = report::fit_frames(views, mesh, row.margin, 10, 10, 220, 0.5);
    for (const report::Frame& frame : frames) EXPECT_DOUBLE_EQ(frame.scale, row.scale);
  }
}

TEST(MeshBox, TellsHowFarAPointLiesAndWhetherItIsNear) {
  const auto box = report::bounds_of(cube_mesh());
  ASSERT_TRUE(box.has_value());
  const struct {
    qfm::Vec3 point;
    double distance;
    bool near;
  } rows[] = {
      {{5, 5, 5}, 0, true},      {{13, 5, 5}, 3, true},        {{13, 14, 5}, 5, true},
      {{5, 5, -9.5}, 9.5, true}, {{5, 5, -10.5}, 10.5, false}, {{50025, 5, 5}, 50015, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.point.x);
    EXPECT_DOUBLE_EQ(report::distance_from(*box, row.point), row.distance);
    EXPECT_EQ(report::near_box(*box, row.point), row.near);
  }
  const std::vector<report::Triangle> not_a_number = {
      {qfm::Vec3{NAN, 0, 0}, qfm::Vec3{0, INFINITY, 0}, qfm::Vec3{0, 0, NAN}}};
  EXPECT_FALSE(report::bounds_of(not_a_number).has_value());
}

}  // namespace
