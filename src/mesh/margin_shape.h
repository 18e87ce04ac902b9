// What the shape of a margin line alone tells, with no mesh: a point that
// jumps away from both neighbours (one mistyped coordinate), and an extent
// no tooth has (the line exported in other units). No I/O.
#pragma once

#include <cstddef>
#include <optional>

#include "qfm/point_list.h"

namespace mesh {

struct Spike {
  std::size_t index = 0;     // the point that jumps
  double jump = 0;           // its distance from the nearer neighbour
  double usual_spacing = 0;  // the median distance between consecutive points
};

// The point farthest from both its neighbours (the line closes: the last
// point's next is the first), when both are farther than kSpikeSpacings
// usual spacings and kSpikeLeastJump while the two neighbours lie close to
// each other; nothing for a line of fewer than five points, whose usual
// spacing says little.
std::optional<Spike> find_spike(const qfm::PointList& points);

// The unit a line's numbers are likely in when they are not millimetres.
enum class LikelyUnit {
  Micrometres,  // 1000 times too large
  Metres,       // 1000 times too small
  Inches,       // 25.4 times too small
  Unknown,      // no usual unit brings it to a tooth's size
};

struct UnitsMismatch {
  double extent = 0;  // the line's largest extent along an axis
  LikelyUnit likely = LikelyUnit::Unknown;
};

// A line whose largest extent along an axis is under kSmallestMarginExtent
// or over kLargestMarginExtent, with the unit that would bring it within
// them (inches before metres where both would); nothing for a line of a
// tooth's size, or of fewer than kFewestPointsForUnits finite points. The
// one most extreme value at each end of each axis is left out of the
// extent, so that a spike is not taken for the unit.
std::optional<UnitsMismatch> find_units_mismatch(const qfm::PointList& points);

}  // namespace mesh
