#include "report/product_views.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "report/html_text.h"
#include "report/margin_thinning.h"
#include "report/shaded_silhouette.h"
#include "report/view_projection.h"

namespace report {

namespace {

constexpr double kFrameLeft = 10;
constexpr double kFrameTop = 10;
constexpr double kFrameSize = 220;
// The share of the frame that the largest extent fills: the margin line's
// marks, drawn round their points, stay inside it.
constexpr double kFill = 0.88;
// Cells of two picture units: the mesh's form shows, and a row holds a few
// dozen runs at most.
constexpr int kCellColumns = 110;
// Margin points closer than this to the last drawn are left out.
constexpr double kLineSpacing = 0.6;

std::string_view view_caption(ViewName view) {
  switch (view) {
    case ViewName::Above:
      return "From above, along the tooth axis";
    case ViewName::Side:
      return "From the side (bottom of the view from above)";
    case ViewName::OtherSide:
      return "From the other side (right of the view from above)";
  }
  return {};
}

std::string_view view_key(ViewName view) {
  switch (view) {
    case ViewName::Above:
      return "above";
    case ViewName::Side:
      return "side";
    case ViewName::OtherSide:
      return "other-side";
  }
  return {};
}

void append_count(std::string& out, std::size_t count) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, count).ptr);
}

void append_vector(std::string& out, const qfm::Vec3& v) {
  append_number(out, v.x, 4);
  out += ' ';
  append_number(out, v.y, 4);
  out += ' ';
  append_number(out, v.z, 4);
}

void append_point(std::string& out, Point2 p) {
  append_number(out, p.x, 2);
  out += ' ';
  append_number(out, p.y, 2);
}

// The longest of the usual lengths that fills at most two fifths of the
// frame.
double scale_length(double scale) {
  static constexpr double kLengths[] = {50, 20, 10, 5, 2, 1, 0.5, 0.2, 0.1};
  for (double length : kLengths) {
    if (length * scale <= kFrameSize * 0.4) return length;
  }
  return kLengths[std::size(kLengths) - 1];
}

void append_scale_bar(std::string& out, double scale) {
  const double length = scale_length(scale);
  const double y = kFrameTop + kFrameSize + 18;
  out += "<g class=\"scale\"><path d=\"M";
  append_point(out, {kFrameLeft, y - 4});
  out += "v4h";
  append_number(out, length * scale, 2);
  out += "v-4\"/><text x=\"";
  append_number(out, kFrameLeft + length * scale + 6, 2);
  out += "\" y=\"";
  append_number(out, y + 4, 2);
  out += "\">";
  append_number(out, length, 1);
  out += " mm</text></g>";
}

// A margin point beyond the frame: drawn at the frame's edge, each of its
// coordinates held to the frame less kEdgeInset (so that its mark stays
// inside, and a spike across one side is marked where its line leaves the
// frame), in the finding colour, its distance from the mesh told in the
// caption.
constexpr double kEdgeInset = 7;
// Marks of points beyond the frame closer than this to the last drawn are
// left out: a run of far points shows as one mark.
constexpr double kEdgeMarkSpacing = 1;

// What the view's caption says of the margin points beyond its frame.
struct Beyond {
  std::size_t count = 0;
  std::size_t first = 0;  // the first such point (from 0)
  double farthest = 0;    // mm from the mesh
};

bool finite(Point2 p) { return std::isfinite(p.x) && std::isfinite(p.y); }

bool inside(const Frame& frame, Point2 p) {
  return p.x >= frame.left && p.x <= frame.left + frame.size && p.y >= frame.top &&
         p.y <= frame.top + frame.size;
}

// Where a point beyond the frame is drawn, and the unit direction from
// there towards it.
std::pair<Point2, Point2> on_edge(const Frame& frame, Point2 p) {
  const auto held = [&](double value, double low) {
    return std::clamp(value, low + kEdgeInset, low + frame.size - kEdgeInset);
  };
  const Point2 at{held(p.x, frame.left), held(p.y, frame.top)};
  // Divided by the larger part first, so that a point of 1e300 mm too
  // gives a direction.
  const double reach = std::max(std::abs(p.x - at.x), std::abs(p.y - at.y));
  const Point2 towards{(p.x - at.x) / reach, (p.y - at.y) / reach};
  const double length = std::hypot(towards.x, towards.y);
  return {at, {towards.x / length, towards.y / length}};
}

// The part of the segment a → b inside the frame (Liang–Barsky), if any.
std::optional<std::pair<Point2, Point2>> clipped(const Frame& frame, Point2 a, Point2 b) {
  double enter = 0;
  double leave = 1;
  const double d[] = {b.x - a.x, b.y - a.y};
  const double from[] = {a.x, a.y};
  const double low[] = {frame.left, frame.top};
  const double high[] = {frame.left + frame.size, frame.top + frame.size};
  for (std::size_t axis = 0; axis < 2; ++axis) {
    if (d[axis] == 0) {
      if (from[axis] < low[axis] || from[axis] > high[axis]) return std::nullopt;
      continue;
    }
    double t0 = (low[axis] - from[axis]) / d[axis];
    double t1 = (high[axis] - from[axis]) / d[axis];
    if (t0 > t1) std::swap(t0, t1);
    enter = std::max(enter, t0);
    leave = std::min(leave, t1);
    if (!(enter <= leave)) return std::nullopt;
  }
  // The ends themselves where they are inside, so that the segments of a
  // line meet exactly.
  return std::pair{enter == 0 ? a : Point2{a.x + enter * d[0], a.y + enter * d[1]},
                   leave == 1 ? b : Point2{a.x + leave * d[0], a.y + leave * d[1]}};
}

void append_circle(std::string& out, std::string_view kind, std::string_view radius, Point2 at) {
  out += "<circle class=\"";
  out += kind;
  out += "\" r=\"";
  out += radius;
  out += "\" cx=\"";
  append_number(out, at.x, 2);
  out += "\" cy=\"";
  append_number(out, at.y, 2);
  out += "\"/>";
}

// The line through the drawn points, each segment cut at the frame; a
// point that is not a number breaks it.
void append_line(std::string& out, std::span<const Point2> points,
                 const std::vector<std::size_t>& drawn, const Frame& frame) {
  std::string path;
  std::optional<Point2> pen;
  for (std::size_t i = 1; i < drawn.size(); ++i) {
    const Point2 a = points[drawn[i - 1]];
    const Point2 b = points[drawn[i]];
    if (!finite(a) || !finite(b)) continue;
    const auto part = clipped(frame, a, b);
    if (!part) continue;
    if (!pen || pen->x != part->first.x || pen->y != part->first.y) {
      path += 'M';
      append_point(path, part->first);
    }
    path += 'L';
    append_point(path, part->second);
    pen = part->second;
  }
  if (path.empty()) return;
  out += "<path class=\"margin\" d=\"";
  out += path;
  out += "\"/>";
}

// An arrowhead at the frame's edge pointing to where the point lies.
void append_edge_mark(std::string& out, Point2 at, Point2 towards) {
  const Point2 across{-towards.y, towards.x};
  out += "<path class=\"beyond\" d=\"M";
  append_point(out, {at.x + 6 * towards.x, at.y + 6 * towards.y});
  out += 'L';
  append_point(out, {at.x - 3 * towards.x + 4.5 * across.x, at.y - 3 * towards.y + 4.5 * across.y});
  out += 'L';
  append_point(out, {at.x - 3 * towards.x - 4.5 * across.x, at.y - 3 * towards.y - 4.5 * across.y});
  out += "Z\"/>";
}

Beyond append_margin(std::string& out, std::span<const qfm::Vec3> margin,
                     const std::optional<std::span<const Triangle>>& mesh,
                     const std::vector<bool>& marked, std::optional<Box>& mesh_box,
                     const ViewAxes& axes, const Frame& frame) {
  Beyond beyond;
  if (margin.empty()) return beyond;
  std::vector<Point2> points;
  points.reserve(margin.size());
  for (const qfm::Vec3& point : margin) points.push_back(to_picture(frame, project(axes, point)));
  append_line(out, points, thin_line(points, marked, kLineSpacing), frame);
  std::optional<Point2> last_edge_mark;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const Point2 p = points[i];
    if (!finite(p)) continue;
    const bool is_marked = i < marked.size() && marked[i];
    if (inside(frame, p)) {
      if (i == 0) append_circle(out, "start", "5", p);
      if (is_marked) append_circle(out, "marked", "3.5", p);
      continue;
    }
    if (beyond.count++ == 0) {
      beyond.first = i;
      if (!mesh_box && mesh) mesh_box = bounds_of(*mesh);
    }
    if (mesh_box) beyond.farthest = std::max(beyond.farthest, distance_from(*mesh_box, margin[i]));
    const auto [at, towards] = on_edge(frame, p);
    if (i == 0) append_circle(out, "start", "5", at);
    if (last_edge_mark &&
        std::hypot(at.x - last_edge_mark->x, at.y - last_edge_mark->y) < kEdgeMarkSpacing) {
      continue;
    }
    append_edge_mark(out, at, towards);
    last_edge_mark = at;
  }
  return beyond;
}

void append_beyond_caption(std::string& out, const Beyond& beyond) {
  if (beyond.count == 0) return;
  out += ". ";
  if (beyond.count == 1) {
    out += "Point ";
    append_count(out, beyond.first + 1);
    out += " lies beyond the drawing, ";
  } else {
    append_count(out, beyond.count);
    out += " points lie beyond the drawing (the first point ";
    append_count(out, beyond.first + 1);
    out += "), up to ";
  }
  append_number(out, beyond.farthest, 1);
  out += " mm from the mesh: shown at its edge";
}

std::size_t append_view(std::string& out, const Product& product, const std::vector<bool>& marked,
                        std::optional<Box>& mesh_box, std::string_view label, ViewName view,
                        const ViewAxes& axes, const Frame& frame) {
  out += "<figure class=\"view-figure\"><svg xmlns=\"http://www.w3.org/2000/svg\" class=\"view\" ";
  out += "role=\"img\" width=\"240\" height=\"266\" viewBox=\"0 0 240 266\" data-view=\"";
  out += view_key(view);
  out += "\" data-right=\"";
  append_vector(out, axes.right);
  out += "\" data-up=\"";
  append_vector(out, axes.up);
  out += "\" data-frame=\"10 10 220\" data-scale=\"";
  append_number(out, frame.scale, 4);
  out += "\" data-centre=\"";
  append_number(out, frame.centre.x, 4);
  out += ' ';
  append_number(out, frame.centre.y, 4);
  out += "\" aria-label=\"";
  out += label;
  out += ", ";
  out += view_caption(view);
  out += "\"><title>";
  out += label;
  out += ", ";
  out += view_caption(view);
  out += "</title><rect class=\"frame\" x=\"10\" y=\"10\" width=\"220\" height=\"220\"/>";
  if (product.mesh) {
    const Sides sides = product.mesh_closed_outward ? Sides::Outward : Sides::Both;
    append_shade_paths(out, shade_mesh(*product.mesh, axes, frame, kCellColumns, sides), frame);
  }
  Beyond beyond;
  if (product.margin)
    beyond = append_margin(out, *product.margin, product.mesh, marked, mesh_box, axes, frame);
  append_scale_bar(out, frame.scale);
  out += "</svg><figcaption>";
  out += view_caption(view);
  append_beyond_caption(out, beyond);
  out += "</figcaption></figure>";
  return beyond.count;
}

void append_legend(std::string& out, const Product& product, const std::vector<bool>& marked,
                   bool any_beyond) {
  std::size_t marked_count = 0;
  for (bool is_marked : marked) marked_count += is_marked ? 1 : 0;
  out += "<ul class=\"legend\">";
  if (product.mesh) {
    out += "<li><span class=\"key key-mesh\" aria-hidden=\"true\">\u25A0</span>mesh (";
    append_count(out, product.mesh->size());
    out += " facets)</li>";
  }
  if (product.margin) {
    out += "<li><span class=\"key key-margin\" aria-hidden=\"true\">\u2501</span>margin line (";
    append_count(out, product.margin->size());
    out +=
        " points)</li><li><span class=\"key key-start\" aria-hidden=\"true\">\u25CB</span>its "
        "first "
        "point</li>";
    if (marked_count > 0) {
      out += "<li><span class=\"key key-marked\" aria-hidden=\"true\">\u25CF</span>";
      append_count(out, marked_count);
      out += marked_count == 1 ? " point" : " points";
      out += " with findings</li>";
    }
    if (any_beyond) {
      out +=
          "<li><span class=\"key key-beyond\" aria-hidden=\"true\">\u25B2</span>a point beyond "
          "the drawing, at its edge</li>";
    }
  }
  out += "</ul>";
}

}  // namespace

void append_product_views(std::string& out, const Product& product, const std::vector<bool>& marked,
                          std::string_view label) {
  if (!product.mesh && !product.margin) return;
  const std::array<ViewAxes, kViewCount> axes = view_axes(product.tooth_axis);
  const std::array<Frame, kViewCount> frames =
      fit_frames(axes, product.mesh.value_or(std::span<const Triangle>{}),
                 product.margin.value_or(std::span<const qfm::Vec3>{}), kFrameLeft, kFrameTop,
                 kFrameSize, kFill);
  // Only a product with a point beyond a frame needs its mesh's box again.
  std::optional<Box> mesh_box;
  bool any_beyond = false;
  out += "<div class=\"views\">";
  for (std::size_t view = 0; view < kViewCount; ++view) {
    any_beyond = append_view(out, product, marked, mesh_box, label, static_cast<ViewName>(view),
                             axes[view], frames[view]) > 0 ||
                 any_beyond;
  }
  out += "</div>";
  append_legend(out, product, marked, any_beyond);
}

}  // namespace report
