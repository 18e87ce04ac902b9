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

}  // namespace
