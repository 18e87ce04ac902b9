#include "report/margin_thinning.h"

namespace report {

std::vector<std::size_t> thin_line(std::span<const Point2> points, const std::vector<bool>& keep,
                                   double spacing) {
  std::vector<std::size_t> kept;
  const double spacing_squared = spacing * spacing;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const bool always = i == 0 || i + 1 == points.size() || (i < keep.size() && keep[i]);
    if (!always) {
      const Point2& last = points[kept.back()];
      const double dx = points[i].x - last.x;
      const double dy = points[i].y - last.y;
      if (dx * dx + dy * dy < spacing_squared) continue;
    }
    kept.push_back(i);
  }
  return kept;
}

}  // namespace report
