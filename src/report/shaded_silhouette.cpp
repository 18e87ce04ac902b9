#include "report/shaded_silhouette.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "report/html_text.h"

namespace report {

namespace {

struct Corner {
  double x;  // in cells
  double y;
  double depth;  // towards the viewer
};

double dot(const qfm::Vec3& a, const qfm::Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The light comes from over the viewer's left shoulder, so that a surface
// facing the viewer is light and the rims darken.
qfm::Vec3 light_of(const ViewAxes& axes) {
  const qfm::Vec3 light{
      axes.toward_viewer.x + 0.45 * axes.up.x - 0.35 * axes.right.x,
      axes.toward_viewer.y + 0.45 * axes.up.y - 0.35 * axes.right.y,
      axes.toward_viewer.z + 0.45 * axes.up.z - 0.35 * axes.right.z,
  };
  const double length = std::sqrt(dot(light, light));
  return {light.x / length, light.y / length, light.z / length};
}

// A triangle's shade: two-sided, since a mesh's facets need not all face
// outwards.
std::uint8_t shade_of(const Triangle& triangle, const qfm::Vec3& light) {
  const qfm::Vec3 a{triangle[1].x - triangle[0].x, triangle[1].y - triangle[0].y,
                    triangle[1].z - triangle[0].z};
  const qfm::Vec3 b{triangle[2].x - triangle[0].x, triangle[2].y - triangle[0].y,
                    triangle[2].z - triangle[0].z};
  const qfm::Vec3 normal{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
  const double length = std::sqrt(dot(normal, normal));
  const double facing = length > 0 ? std::abs(dot(normal, light)) / length : 0;
  const int shade = 1 + static_cast<int>(facing * kShadeCount);
  return static_cast<std::uint8_t>(std::min(shade, kShadeCount));
}

double edge(const Corner& a, const Corner& b, double x, double y) {
  return (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
}

void rasterise(const std::array<Corner, 3>& c, const Triangle& triangle, const qfm::Vec3& light,
               ShadeGrid& grid, std::vector<double>& depths) {
  const double area = edge(c[0], c[1], c[2].x, c[2].y);
  if (!(std::abs(area) > 0)) return;  // seen edge-on, or not a number
  const auto first = [](double v) { return static_cast<int>(std::ceil(v - 0.5)); };
  const auto last = [](double v) { return static_cast<int>(std::floor(v - 0.5)); };
  const int x0 = std::max(0, first(std::min({c[0].x, c[1].x, c[2].x})));
  const int x1 = std::min(grid.columns - 1, last(std::max({c[0].x, c[1].x, c[2].x})));
  const int y0 = std::max(0, first(std::min({c[0].y, c[1].y, c[2].y})));
  const int y1 = std::min(grid.rows - 1, last(std::max({c[0].y, c[1].y, c[2].y})));
  // Most facets of a large mesh cover no cell's centre at all.
  if (x0 > x1 || y0 > y1) return;
  const double inverse_area = 1 / area;
  const std::uint8_t shade = shade_of(triangle, light);
  for (int row = y0; row <= y1; ++row) {
    for (int column = x0; column <= x1; ++column) {
      const double x = column + 0.5;
      const double y = row + 0.5;
      const double w0 = edge(c[1], c[2], x, y) * inverse_area;
      const double w1 = edge(c[2], c[0], x, y) * inverse_area;
      const double w2 = edge(c[0], c[1], x, y) * inverse_area;
      if (w0 < 0 || w1 < 0 || w2 < 0) continue;
      const double depth = w0 * c[0].depth + w1 * c[1].depth + w2 * c[2].depth;
      const auto cell = static_cast<std::size_t>(row * grid.columns + column);
      if (depth <= depths[cell]) continue;
      depths[cell] = depth;
      grid.shades[cell] = shade;
    }
  }
}

}  // namespace

ShadeGrid shade_mesh(std::span<const Triangle> mesh, const ViewAxes& axes, const Frame& frame,
                     int columns) {
  ShadeGrid grid{columns, columns,
                 std::vector<std::uint8_t>(static_cast<std::size_t>(columns * columns), 0)};
  std::vector<double> depths(grid.shades.size(), -std::numeric_limits<double>::infinity());
  const double cells_per_unit = columns / frame.size;
  const qfm::Vec3 light = light_of(axes);
  for (const Triangle& triangle : mesh) {
    std::array<Corner, 3> corners;
    for (std::size_t i = 0; i < 3; ++i) {
      const Point2 p = to_picture(frame, project(axes, triangle[i]));
      corners[i] = {(p.x - frame.left) * cells_per_unit, (p.y - frame.top) * cells_per_unit,
                    dot(triangle[i], axes.toward_viewer)};
    }
    rasterise(corners, triangle, light, grid, depths);
  }
  return grid;
}

void append_shade_paths(std::string& out, const ShadeGrid& grid, const Frame& frame) {
  const double cell = frame.size / grid.columns;
  for (int shade = 1; shade <= kShadeCount; ++shade) {
    // Each run a stroke one cell wide along the middle of its row, moved to
    // from the end of the run before it: a third of the bytes of a filled
    // rectangle per run.
    std::string path;
    for (int row = 0; row < grid.rows; ++row) {
      const std::uint8_t* cells = grid.shades.data() + static_cast<std::size_t>(row * grid.columns);
      int end_of_last = -1;
      for (int column = 0; column < grid.columns;) {
        if (cells[column] != shade) {
          ++column;
          continue;
        }
        const int start = column;
        while (column < grid.columns && cells[column] == shade) ++column;
        if (end_of_last < 0) {
          path += 'M';
          append_number(path, frame.left + start * cell, 2);
          path += ' ';
          append_number(path, frame.top + (row + 0.5) * cell, 2);
        } else {
          path += 'm';
          append_number(path, (start - end_of_last) * cell, 2);
          path += " 0";
        }
        path += 'h';
        append_number(path, (column - start) * cell, 2);
        end_of_last = column;
      }
    }
    if (path.empty()) continue;
    out += "<path class=\"shade";
    out += static_cast<char>('0' + shade);
    out += "\" stroke-width=\"";
    append_number(out, cell, 2);
    out += "\" d=\"";
    out += path;
    out += "\"/>";
  }
}

}  // namespace report
