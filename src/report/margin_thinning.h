// A margin line of many thousand points drawn with as many as show: the
// points closer to the last one drawn than a fraction of a picture unit add
// nothing that a reader could see.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "report/view_projection.h"

namespace report {

// The indices of the points to draw, in order: the first and the last,
// every one that `keep` marks (true at its index), and every one at least
// `spacing` picture units from the point kept before it.
std::vector<std::size_t> thin_line(std::span<const Point2> points, const std::vector<bool>& keep,
                                   double spacing);

}  // namespace report
