#include "report/shaded_silhouette.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// A frame of 10 × 10 cells of one unit, one unit per millimetre, centred
// on the origin: the cell of column c, row r covers x in [c-5, c-4] and y
// in [4-r, 5-r] of the view's plane.
report::Frame unit_frame() { return report::Frame{0, 0, 10, 1, {0, 0}}; }

// A square facing the viewer from above, z = depth.
std::vector<report::Triangle> square(double x0, double y0, double x1, double y1, double depth) {
  // From above an upright tooth, right is -y and up is x.
  const auto at = [&](double right, double up) { return qfm::Vec3{up, -right, depth}; };
  return {{at(x0, y0), at(x1, y0), at(x1, y1)}, {at(x0, y0), at(x1, y1), at(x0, y1)}};
}

std::string picture(const report::ShadeGrid& grid) {
  std::string rows;
  for (int row = 0; row < grid.rows; ++row) {
    for (int column = 0; column < grid.columns; ++column) {
      rows += static_cast<char>('0' +
                                grid.shades[static_cast<std::size_t>(row * grid.columns + column)]);
    }
    rows += '\n';
  }
  return rows;
}

TEST(ShadeMesh, FillsTheCellsWhoseCentresTheMeshCoversTheNearestOnTop) {
  const auto axes = report::view_axes({0, 0, 1})[0];
  std::vector<report::Triangle> mesh = square(-3, -1, 1, 2, 0);
  // A nearer square turned away from the light (normal (-2, 0, 1), the
  // light from up on the screen, which is +x), so darkest, then a farther
  // one that it hides.
  const std::vector<report::Triangle> tilted = {
      {qfm::Vec3{-2, 1, 5}, qfm::Vec3{-2, -2, 5}, qfm::Vec3{-4, -2, 1}},
      {qfm::Vec3{-2, 1, 5}, qfm::Vec3{-4, -2, 1}, qfm::Vec3{-4, 1, 1}}};
  mesh.insert(mesh.end(), tilted.begin(), tilted.end());
  const std::vector<report::Triangle> hidden = square(-1, -4, 0, -2, -1);
  mesh.insert(mesh.end(), hidden.begin(), hidden.end());
  const report::ShadeGrid grid = report::shade_mesh(mesh, axes, unit_frame(), 10);
  EXPECT_EQ(picture(grid),
            "0000000000\n"
            "0000000000\n"
            "0000000000\n"
            "0055550000\n"
            "0055550000\n"
            "0055550000\n"
            "0000000000\n"
            "0000111000\n"
            "0000111000\n"
            "0000000000\n");
}

TEST(ShadeMesh, WritesEachRunOfAShadeAsOneStrokeMovedToFromTheRunBefore) {
  const auto axes = report::view_axes({0, 0, 1})[0];
  const report::Frame frame{10, 20, 10, 1, {0, 0}};
  report::ShadeGrid grid{5, 2, {0, 5, 5, 0, 5, /**/ 1, 0, 0, 0, 1}};
  std::string out;
  report::append_shade_paths(out, grid, frame);
  EXPECT_EQ(out,
            "<path class=\"shade1\" stroke-width=\"2\" d=\"M10 23h2m6 0h2\"/>"
            "<path class=\"shade5\" stroke-width=\"2\" d=\"M12 21h4m2 0h2\"/>");
  // What shade_mesh gives is written the same way.
  grid = report::shade_mesh(square(-3, 2.5, 1, 4.5, 0), axes, frame, 5);
  out.clear();
  report::append_shade_paths(out, grid, frame);
  EXPECT_EQ(out, "<path class=\"shade5\" stroke-width=\"2\" d=\"M12 21h4\"/>");
}

// Runs longer than the eight cells compared at once, ending inside such a
// group and at the row's end.
TEST(ShadeMesh, WritesRunsThatCrossGroupsOfEightCells) {
  const report::Frame frame{0, 0, 19, 1, {0, 0}};
  const std::vector<std::uint8_t> first_row = {0, 0, 0, 5, 5, 5, 5, 5, 5, 5,
                                               5, 5, 5, 1, 5, 5, 5, 5, 0};
  report::ShadeGrid grid{19, 2, first_row};
  grid.shades.insert(grid.shades.end(), 19, 2);
  std::string out;
  report::append_shade_paths(out, grid, frame);
  EXPECT_EQ(out,
            "<path class=\"shade1\" stroke-width=\"1\" d=\"M13 0.5h1\"/>"
            "<path class=\"shade2\" stroke-width=\"1\" d=\"M0 1.5h19\"/>"
            "<path class=\"shade5\" stroke-width=\"1\" d=\"M3 0.5h10m1 0h4\"/>");
}

// Of a closed mesh facing outward, the facets facing the viewer alone give
// the whole picture, from every side; with both sides drawn, the mesh
// turned inside out gives it too.
TEST(ShadeMesh, OfAClosedMeshFacingOutwardDrawsTheFacetsFacingTheViewerAlone) {
  const qfm::Vec3 top{0.3, -0.2, 4}, bottom{-0.2, 0.1, -4};
  const qfm::Vec3 ring[] = {{4, 0.5, 0}, {-0.5, 3, 0.4}, {-4, 0, 0}, {0.3, -3, -0.6}};
  std::vector<report::Triangle> outward;
  std::vector<report::Triangle> inward;
  for (std::size_t i = 0; i < 4; ++i) {
    outward.push_back({top, ring[i], ring[(i + 1) % 4]});
    outward.push_back({bottom, ring[(i + 1) % 4], ring[i]});
    inward.push_back({top, ring[(i + 1) % 4], ring[i]});
    inward.push_back({bottom, ring[i], ring[(i + 1) % 4]});
  }
  for (const auto& axes : report::view_axes({0.2, 0.1, 1})) {
    const report::ShadeGrid both = report::shade_mesh(outward, axes, unit_frame(), 10);
    EXPECT_EQ(picture(report::shade_mesh(outward, axes, unit_frame(), 10, report::Sides::Outward)),
              picture(both));
    EXPECT_EQ(picture(report::shade_mesh(inward, axes, unit_frame(), 10)), picture(both));
    EXPECT_NE(picture(both).find_first_not_of("0\n"), std::string::npos);
  }
}

}  // namespace
