// A mesh drawn light: its triangles projected into a coarse grid of cells,
// the nearest triangle of each cell kept (a depth buffer) and its shade
// taken from the angle it makes with the light. The page then holds a few
// runs of cells per row and shade, however many facets the mesh has: a
// mesh of 200 000 facets costs the page what one of 2 000 does.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "report/report_records.h"
#include "report/view_projection.h"

namespace report {

// Shades from 1 (facing away from the light) to kShadeCount; 0 is an empty
// cell.
inline constexpr int kShadeCount = 5;

struct ShadeGrid {
  int columns = 0;
  int rows = 0;
  std::vector<std::uint8_t> shades;  // row by row
};

// Which facets can be seen: of any mesh, both sides of each; of a closed
// mesh whose facets face outward, only those facing the viewer, as the
// others lie behind them (half the work, the same picture).
enum class Sides { Both, Outward };

// The grid of `columns` × `columns` square cells over the frame's square.
// A cell takes the shade of the nearest triangle that covers its centre.
ShadeGrid shade_mesh(std::span<const Triangle> mesh, const ViewAxes& axes, const Frame& frame,
                     int columns, Sides sides = Sides::Both);

// Appends one SVG <path> per shade used (class "shadeN", to be stroked,
// not filled): each row's runs of cells of that shade as strokes one cell
// wide, in picture units of the frame.
void append_shade_paths(std::string& out, const ShadeGrid& grid, const Frame& frame);

}  // namespace report
