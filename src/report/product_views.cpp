#include "report/product_views.h"

#include <array>
#include <charconv>
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

void append_margin(std::string& out, std::span<const qfm::Vec3> margin,
                   const std::vector<bool>& marked, const ViewAxes& axes, const Frame& frame) {
  if (margin.empty()) return;
  std::vector<Point2> points;
  points.reserve(margin.size());
  for (const qfm::Vec3& point : margin) points.push_back(to_picture(frame, project(axes, point)));
  const std::vector<std::size_t> drawn = thin_line(points, marked, kLineSpacing);
  out += "<path class=\"margin\" d=\"M";
  for (std::size_t i = 0; i < drawn.size(); ++i) {
    if (i > 0) out += 'L';
    append_point(out, points[drawn[i]]);
  }
  out += "\"/><circle class=\"start\" r=\"5\" cx=\"";
  append_number(out, points[0].x, 2);
  out += "\" cy=\"";
  append_number(out, points[0].y, 2);
  out += "\"/>";
  for (std::size_t i = 0; i < points.size() && i < marked.size(); ++i) {
    if (!marked[i]) continue;
    out += "<circle class=\"marked\" r=\"3.5\" cx=\"";
    append_number(out, points[i].x, 2);
    out += "\" cy=\"";
    append_number(out, points[i].y, 2);
    out += "\"/>";
  }
}

void append_view(std::string& out, const Product& product, const std::vector<bool>& marked,
                 std::string_view label, ViewName view, const ViewAxes& axes, const Frame& frame) {
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
    append_shade_paths(out, shade_mesh(*product.mesh, axes, frame, kCellColumns), frame);
  }
  if (product.margin) append_margin(out, *product.margin, marked, axes, frame);
  append_scale_bar(out, frame.scale);
  out += "</svg><figcaption>";
  out += view_caption(view);
  out += "</figcaption></figure>";
}

void append_legend(std::string& out, const Product& product, const std::vector<bool>& marked) {
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
  out += "<div class=\"views\">";
  for (std::size_t view = 0; view < kViewCount; ++view) {
    append_view(out, product, marked, label, static_cast<ViewName>(view), axes[view], frames[view]);
  }
  out += "</div>";
  append_legend(out, product, marked);
}

}  // namespace report
