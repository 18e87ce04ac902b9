// The three views of a product: from above, looking down the tooth axis,
// and from two sides a quarter turn apart, each a parallel projection. The
// axes depend on the tooth axis alone, and a product's three views share
// one scale, so that a point's place in the drawing can be computed from
// the axes and the frame that the page writes beside each drawing.
#pragma once

#include <array>
#include <optional>
#include <span>

#include "qfm/point_list.h"
#include "report/report_records.h"

namespace report {

// A view's directions, each of unit length: right and up on the screen,
// and towards the viewer (right × up).
struct ViewAxes {
  qfm::Vec3 right;
  qfm::Vec3 up;
  qfm::Vec3 toward_viewer;
};

enum class ViewName { Above, Side, OtherSide };
inline constexpr std::size_t kViewCount = 3;

// The axes of the three views, in ViewName order, for `tooth_axis` (of any
// length; zero is taken as +z). From above: up on the screen is the
// direction of x (or of y when the axis lies near x) without its part along
// the axis; the sides are seen from the bottom and from the right of the
// view from above, the tooth axis up on the screen.
std::array<ViewAxes, kViewCount> view_axes(qfm::Vec3 tooth_axis);

struct Point2 {
  double x = 0;
  double y = 0;
};

// Millimetres in the view's plane. Inline, as every corner of a large mesh
// passes here several times.
inline Point2 project(const ViewAxes& axes, const qfm::Vec3& point) {
  return {point.x * axes.right.x + point.y * axes.right.y + point.z * axes.right.z,
          point.x * axes.up.x + point.y * axes.up.y + point.z * axes.up.z};
}

// Where a view's drawing goes: a square of the picture (picture units,
// y downwards), and the millimetre point at its centre.
struct Frame {
  double left = 0;
  double top = 0;
  double size = 0;
  double scale = 1;  // picture units per millimetre
  Point2 centre;
};

// A point of the view's plane in picture units.
inline Point2 to_picture(const Frame& frame, Point2 point) {
  return {frame.left + frame.size / 2 + (point.x - frame.centre.x) * frame.scale,
          frame.top + frame.size / 2 - (point.y - frame.centre.y) * frame.scale};
}

// The mesh's bounds along x, y and z, from its finite corners.
struct Box {
  qfm::Vec3 low;
  qfm::Vec3 high;
};

// None when the mesh has no finite corner.
std::optional<Box> bounds_of(std::span<const Triangle> mesh);

// Whether `point` lies within the box grown on every side by its largest
// extent (at least kNearMesh mm): such a margin point (one of the tooth
// beside, say) is framed with the mesh, one further off (a spike, a line in
// other units) is not.
inline constexpr double kNearMesh = 1;
bool near_box(const Box& box, const qfm::Vec3& point);

// How far `point` lies from the box, in mm (0 inside it).
double distance_from(const Box& box, const qfm::Vec3& point);

// The frames of the three views, with the one scale at which the largest
// extent of any view fills `fill` of its square (so that the drawing stays
// inside the frame): framed on the mesh and the margin points near it
// (near_box), or on the margin points alone where there is no mesh. A
// product with nothing to draw, or a single point, gets 10 units per
// millimetre.
std::array<Frame, kViewCount> fit_frames(const std::array<ViewAxes, kViewCount>& axes,
                                         std::span<const Triangle> mesh,
                                         std::span<const qfm::Vec3> margin, double left, double top,
                                         double size, double fill);

}  // namespace report
