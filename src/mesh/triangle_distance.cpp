#include "mesh/triangle_distance.h"

#include <algorithm>

namespace mesh {

namespace {

qfm::Vec3 minus(const qfm::Vec3& a, const qfm::Vec3& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
qfm::Vec3 plus_scaled(const qfm::Vec3& a, const qfm::Vec3& d, double s) {
  return {a.x + s * d.x, a.y + s * d.y, a.z + s * d.z};
}
double dot(const qfm::Vec3& a, const qfm::Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double squared_length(const qfm::Vec3& a) { return dot(a, a); }

// The nearest point of segment [a, b] to p, for degenerate triangles.
double squared_distance_to_segment(const qfm::Vec3& p, const qfm::Vec3& a, const qfm::Vec3& b) {
  const qfm::Vec3 ab = minus(b, a);
  const double length = squared_length(ab);
  const double t = length > 0 ? std::clamp(dot(minus(p, a), ab) / length, 0.0, 1.0) : 0.0;
  return squared_length(minus(p, plus_scaled(a, ab, t)));
}

}  // namespace

// The regions of the triangle's plane, as in Ericson, "Real-Time Collision
// Detection", 5.1.5: a corner, an edge, or the face.
double squared_distance(const qfm::Vec3& p, const Triangle& triangle) {
  const qfm::Vec3& a = triangle[0];
  const qfm::Vec3& b = triangle[1];
  const qfm::Vec3& c = triangle[2];
  const qfm::Vec3 ab = minus(b, a);
  const qfm::Vec3 ac = minus(c, a);
  const qfm::Vec3 ap = minus(p, a);
  const double d1 = dot(ab, ap);
  const double d2 = dot(ac, ap);
  if (d1 <= 0 && d2 <= 0) return squared_length(ap);
  const qfm::Vec3 bp = minus(p, b);
  const double d3 = dot(ab, bp);
  const double d4 = dot(ac, bp);
  if (d3 >= 0 && d4 <= d3) return squared_length(bp);
  const double vc = d1 * d4 - d3 * d2;
  if (vc <= 0 && d1 >= 0 && d3 <= 0) {
    const double denominator = d1 - d3;
    if (denominator <= 0) return squared_distance_to_segment(p, a, b);
    return squared_length(minus(p, plus_scaled(a, ab, d1 / denominator)));
  }
  const qfm::Vec3 cp = minus(p, c);
  const double d5 = dot(ab, cp);
  const double d6 = dot(ac, cp);
  if (d6 >= 0 && d5 <= d6) return squared_length(cp);
  const double vb = d5 * d2 - d1 * d6;
  if (vb <= 0 && d2 >= 0 && d6 <= 0) {
    const double denominator = d2 - d6;
    if (denominator <= 0) return squared_distance_to_segment(p, a, c);
    return squared_length(minus(p, plus_scaled(a, ac, d2 / denominator)));
  }
  const double va = d3 * d6 - d5 * d4;
  if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
    const double denominator = (d4 - d3) + (d5 - d6);
    if (denominator <= 0) return squared_distance_to_segment(p, b, c);
    return squared_length(minus(p, plus_scaled(b, minus(c, b), (d4 - d3) / denominator)));
  }
  const double sum = va + vb + vc;
  if (!(sum > 0)) {
    // No area: the nearest of its three sides.
    return std::min({squared_distance_to_segment(p, a, b), squared_distance_to_segment(p, b, c),
                     squared_distance_to_segment(p, a, c)});
  }
  const double v = vb / sum;
  const double w = vc / sum;
  return squared_length(minus(p, plus_scaled(plus_scaled(a, ab, v), ac, w)));
}

}  // namespace mesh
