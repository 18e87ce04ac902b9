#include "report/shaded_silhouette.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <utility>

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

// Whether the facet's front (its corners turning counter-clockwise) faces
// `viewer`.
bool faces(const Triangle& triangle, const qfm::Vec3& viewer) {
  const qfm::Vec3 a{triangle[1].x - triangle[0].x, triangle[1].y - triangle[0].y,
                    triangle[1].z - triangle[0].z};
  const qfm::Vec3 b{triangle[2].x - triangle[0].x, triangle[2].y - triangle[0].y,
                    triangle[2].z - triangle[0].z};
  return (a.y * b.z - a.z * b.y) * viewer.x + (a.z * b.x - a.x * b.z) * viewer.y +
             (a.x * b.y - a.y * b.x) * viewer.z >
         0;
}

// A quantity that varies linearly over the picture: value = x·dx + y·dy +
// at_origin.
struct Linear {
  double dx = 0;
  double dy = 0;
  double at_origin = 0;

  double at(double x, double y) const { return x * dx + y * dy + at_origin; }
};

// The edge function of a → b over (x, y), divided by `area`: of the same
// sign inside the triangle for either winding.
Linear edge_of(const Corner& a, const Corner& b, double inverse_area) {
  const double ex = b.x - a.x;
  const double ey = b.y - a.y;
  return {-ey * inverse_area, ex * inverse_area, (ey * a.x - ex * a.y) * inverse_area};
}

// floor and ceil of numbers held to a few cells around the grid: the cast
// alone, where the library's calls would cost more than the rest of a
// facet's row.
int floor_of(double v) {
  const auto truncated = static_cast<int>(v);
  return truncated > v ? truncated - 1 : truncated;
}

int ceil_of(double v) {
  const auto truncated = static_cast<int>(v);
  return truncated < v ? truncated + 1 : truncated;
}

// The columns of a row that an edge leaves on its inner side: those whose
// centres lie at or past (dx > 0: right of, dx < 0: left of) the column
// `crossing` = y·slope + offset; an edge along the rows holds all or none.
struct RowBound {
  double slope = 0;
  double offset = 0;
  enum class Kind { From, To, Level } kind = Kind::Level;
};

RowBound row_bound(const Linear& edge) {
  if (edge.dx == 0) return {edge.dy, edge.at_origin, RowBound::Kind::Level};
  // The edge is 0 at x = −(y·dy + at_origin) / dx; columns centred at c + 0.5.
  return {-edge.dy / edge.dx, -edge.at_origin / edge.dx - 0.5,
          edge.dx > 0 ? RowBound::Kind::From : RowBound::Kind::To};
}

// A triangle's three edges sorted by kind, so that a row's columns are
// found without asking each edge its kind: two of each at most (the third
// edge of a triangle that is no line bounds the other side), the places
// left over taking a bound that holds every column. A triangle whose edge
// functions say otherwise (a number too small to tell from zero) asks its
// edges one by one.
struct RowBounds {
  std::array<RowBound, 3> edges;
  bool sorted = false;
  std::array<RowBound, 2> from{RowBound{0, -std::numeric_limits<double>::infinity()},
                               RowBound{0, -std::numeric_limits<double>::infinity()}};
  std::array<RowBound, 2> to{RowBound{0, std::numeric_limits<double>::infinity()},
                             RowBound{0, std::numeric_limits<double>::infinity()}};
  RowBound level{0, 0};

  // The first and last column (as numbers, not yet rounded) of the row at
  // `y` within [x0, x1]; none where the triangle leaves the row empty.
  std::optional<std::pair<double, double>> columns(double y, int x0, int x1) const {
    double first = x0;
    double last = x1;
    if (sorted) {
      if (!(y * level.slope + level.offset >= 0)) return std::nullopt;
      first = std::max(std::max(first, y * from[0].slope + from[0].offset),
                       y * from[1].slope + from[1].offset);
      last =
          std::min(std::min(last, y * to[0].slope + to[0].offset), y * to[1].slope + to[1].offset);
    } else {
      for (const RowBound& bound : edges) {
        const double at = y * bound.slope + bound.offset;
        switch (bound.kind) {
          case RowBound::Kind::From:
            first = std::max(first, at);
            break;
          case RowBound::Kind::To:
            last = std::min(last, at);
            break;
          case RowBound::Kind::Level:
            if (!(at >= 0)) return std::nullopt;
            break;
        }
      }
    }
    if (!(first <= last)) return std::nullopt;
    return std::pair{first, last};
  }
};

RowBounds row_bounds(const std::array<Linear, 3>& edges) {
  RowBounds bounds{{row_bound(edges[0]), row_bound(edges[1]), row_bound(edges[2])}};
  std::size_t froms = 0;
  std::size_t tos = 0;
  std::size_t levels = 0;
  for (const RowBound& bound : bounds.edges) {
    switch (bound.kind) {
      case RowBound::Kind::From:
        if (froms < bounds.from.size()) bounds.from[froms] = bound;
        ++froms;
        break;
      case RowBound::Kind::To:
        if (tos < bounds.to.size()) bounds.to[tos] = bound;
        ++tos;
        break;
      case RowBound::Kind::Level:
        bounds.level = bound;
        ++levels;
        break;
    }
  }
  bounds.sorted = froms <= bounds.from.size() && tos <= bounds.to.size() && levels <= 1;
  return bounds;
}

// Each row's cells covered by the triangle found from its three edges, and
// the depth stepped along the row: a large mesh passes here for each of its
// facets in each view.
void rasterise(const std::array<Corner, 3>& c, const Triangle& triangle, const qfm::Vec3& light,
               ShadeGrid& grid, std::vector<double>& depths) {
  const double area = (c[1].x - c[0].x) * (c[2].y - c[0].y) - (c[1].y - c[0].y) * (c[2].x - c[0].x);
  if (!(std::abs(area) > 0)) return;  // seen edge-on, or not a number
  // The cells whose centres the corners' bounds hold, the bounds first held
  // to the grid and a cell beyond.
  const auto held = [](double v, int cells) { return std::clamp(v - 0.5, -1.0, cells + 1.0); };
  const int x0 = std::max(0, ceil_of(held(std::min({c[0].x, c[1].x, c[2].x}), grid.columns)));
  const int x1 =
      std::min(grid.columns - 1, floor_of(held(std::max({c[0].x, c[1].x, c[2].x}), grid.columns)));
  const int y0 = std::max(0, ceil_of(held(std::min({c[0].y, c[1].y, c[2].y}), grid.rows)));
  const int y1 =
      std::min(grid.rows - 1, floor_of(held(std::max({c[0].y, c[1].y, c[2].y}), grid.rows)));
  // Most facets of a large mesh cover no cell's centre at all.
  if (x0 > x1 || y0 > y1) return;
  // Taken when the facet first shows in a cell: most of a large mesh's
  // facets show in none (no centre inside them, or one nearer in front).
  std::uint8_t shade = 0;
  bool shaded = false;
  const double inverse_area = 1 / area;
  const std::array<Linear, 3> edges{edge_of(c[1], c[2], inverse_area),
                                    edge_of(c[2], c[0], inverse_area),
                                    edge_of(c[0], c[1], inverse_area)};
  // The depth is the corners' depths weighed by the edge functions.
  Linear depth;
  for (std::size_t i = 0; i < 3; ++i) {
    depth.dx += edges[i].dx * c[i].depth;
    depth.dy += edges[i].dy * c[i].depth;
    depth.at_origin += edges[i].at_origin * c[i].depth;
  }
  const RowBounds bounds = row_bounds(edges);
  for (int row = y0; row <= y1; ++row) {
    const double y = row + 0.5;
    const std::optional<std::pair<double, double>> span = bounds.columns(y, x0, x1);
    if (!span) continue;
    const auto [from, to] = *span;
    const int first_column = ceil_of(from);
    const int last_column = floor_of(to);
    double cell_depth = depth.at(first_column + 0.5, y);
    const std::size_t row_start =
        static_cast<std::size_t>(row) * static_cast<std::size_t>(grid.columns);
    for (int column = first_column; column <= last_column; ++column, cell_depth += depth.dx) {
      const std::size_t cell = row_start + static_cast<std::size_t>(column);
      if (cell_depth <= depths[cell]) continue;
      if (!shaded) {
        shade = shade_of(triangle, light);
        shaded = true;
      }
      depths[cell] = cell_depth;
      grid.shades[cell] = shade;
    }
  }
}

// The texts of `origin + (k + offset)·step` for k from 0 to a count, each
// written the first time it is asked for: a view's runs use a few dozen
// lengths and places, each many times over.
class NumberTexts {
 public:
  NumberTexts(double origin, double offset, double step, int count)
      : origin_(origin),
        offset_(offset),
        step_(step),
        lengths_(static_cast<std::size_t>(count) + 1, 0),
        // Left unset: only the bytes of a text once written are read.
        bytes_(new char[lengths_.size() * kMaxNumberLength]) {}

  char* write(char* out, int k) {
    const auto index = static_cast<std::size_t>(k);
    char* text = bytes_.get() + index * kMaxNumberLength;
    if (lengths_[index] == 0) {
      lengths_[index] =
          static_cast<std::uint8_t>(write_number(text, origin_ + (k + offset_) * step_, 2) - text);
    }
    return std::copy_n(text, lengths_[index], out);
  }

 private:
  double origin_;
  double offset_;
  double step_;
  std::vector<std::uint8_t> lengths_;  // 0: not yet written
  std::unique_ptr<char[]> bytes_;
};

// The column after the run of like cells that starts at `column`: eight
// cells compared at once, as most of a row is long runs of empty cells.
int run_end(const std::uint8_t* cells, int column, int columns) {
  const std::uint8_t shade = cells[column];
  if constexpr (std::endian::native == std::endian::little) {
    const std::uint64_t pattern = 0x0101010101010101ULL * shade;
    for (; column + 8 <= columns; column += 8) {
      std::uint64_t word;
      std::memcpy(&word, cells + column, sizeof word);
      // The first cell that differs is the lowest byte that is not zero.
      if (const std::uint64_t differ = word ^ pattern; differ != 0)
        return column + std::countr_zero(differ) / 8;
    }
  }
  while (column < columns && cells[column] == shade) ++column;
  return column;
}

}  // namespace

ShadeGrid shade_mesh(std::span<const Triangle> mesh, const ViewAxes& axes, const Frame& frame,
                     int columns, Sides sides) {
  ShadeGrid grid{columns, columns,
                 std::vector<std::uint8_t>(static_cast<std::size_t>(columns * columns), 0)};
  // One depth buffer per thread, kept from view to view: a run draws six
  // views or more per case, and a fresh buffer each time costs its pages.
  thread_local std::vector<double> depths;
  depths.assign(grid.shades.size(), -std::numeric_limits<double>::infinity());
  const double cells_per_unit = columns / frame.size;
  const qfm::Vec3 light = light_of(axes);
  for (const Triangle& triangle : mesh) {
    if (sides == Sides::Outward && !faces(triangle, axes.toward_viewer)) continue;
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
  // Each run a stroke one cell wide along the middle of its row, moved to
  // from the end of the run of its shade before it in the row: a third of
  // the bytes of a filled rectangle per run. One pass over the grid fills
  // every shade's path.
  // Kept from view to view, emptied, so that each grows only once a thread.
  thread_local std::array<std::string, kShadeCount + 1> paths;
  for (std::string& path : paths) path.clear();
  std::array<int, kShadeCount + 1> row_of_last;
  std::array<int, kShadeCount + 1> end_of_last;
  row_of_last.fill(-1);
  end_of_last.fill(0);
  // Each the same number as written one by one: (start − end)·cell and
  // (column − start)·cell as 0 + (k + 0)·cell, and so on.
  NumberTexts lengths(0, 0, cell, grid.columns);
  NumberTexts lefts(frame.left, 0, cell, grid.columns);
  NumberTexts middles(frame.top, 0.5, cell, grid.rows);
  for (int row = 0; row < grid.rows; ++row) {
    const std::uint8_t* cells =
        grid.shades.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(grid.columns);
    for (int column = 0; column < grid.columns;) {
      const std::uint8_t shade = cells[column];
      const int start = column;
      column = run_end(cells, column, grid.columns);
      if (shade == 0) continue;
      // The run put together in a buffer and appended at once.
      char run[3 * kMaxNumberLength + 4];
      char* end = run;
      if (row_of_last[shade] != row) {
        *end++ = 'M';
        end = lefts.write(end, start);
        *end++ = ' ';
        end = middles.write(end, row);
      } else {
        *end++ = 'm';
        end = lengths.write(end, start - end_of_last[shade]);
        *end++ = ' ';
        *end++ = '0';
      }
      *end++ = 'h';
      end = lengths.write(end, column - start);
      paths[shade].append(run, end);
      row_of_last[shade] = row;
      end_of_last[shade] = column;
    }
  }
  for (int shade = 1; shade <= kShadeCount; ++shade) {
    const std::string& path = paths[static_cast<std::size_t>(shade)];
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
