// Every tolerance and limit of the geometric checks, in one place, each
// with the reason for its value (the checker's manual lists them). Lengths
// are in millimetres, as the case's coordinates are.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mesh {

// How far a margin point may lie from its product's mesh. A margin line is
// picked on the mesh by the design software and exported with it, so it
// lies on the surface to the rounding of the export (a few micrometres);
// 0.05 mm is still under the smallest step of a milling tool, and far under
// the millimetres by which a shifted, scaled or swapped line misses.
inline constexpr double kMarginOnMeshTolerance = 0.05;

// How far the case's bounding box may differ from the mesh's extents on an
// axis. The box is measured on the same mesh by the design software and
// written with a few decimals; 0.05 mm covers that rounding, while a stale
// box (of an earlier design) is off by tenths of a millimetre or more, and
// the blank height taken from it with it.
inline constexpr double kBoundingBoxTolerance = 0.05;

// A margin point is a spike when both its neighbours are farther than this
// many times the line's usual spacing (the median distance between
// consecutive points) while they are close to each other: one mistyped
// coordinate (12.5 typed 125) jumps by tens of spacings, a sparse stretch
// of a line by a few.
inline constexpr double kSpikeSpacings = 10;
// ...and farther than this, so that a densely sampled line (spacing of
// micrometres) does not call every small wiggle a spike: 1 mm is more than
// any step between neighbouring points of a real margin.
inline constexpr double kSpikeLeastJump = 1.0;

// A margin line encircles one tooth or a few (a bridge): no such line is
// under 1 mm or over 40 mm across (a molar is about 11 mm wide, a
// three-unit bridge about 30 mm long).
inline constexpr double kSmallestMarginExtent = 1.0;
inline constexpr double kLargestMarginExtent = 40.0;

// A line's extent tells its unit only when it has at least this many
// points. An exported margin has tens to thousands (one every few tenths of
// a millimetre round the tooth); a line of three or four is typed by hand
// or a sketch (as the examples' bridge is), whose size says nothing of an
// export's unit. Five is also the fewest a spike is looked for in, so the
// one extreme value left out of the extent always has neighbours.
inline constexpr std::size_t kFewestPointsForUnits = 5;

// The factors of the units a line may have been exported in by mistake.
inline constexpr double kMicrometresPerMillimetre = 1000;
inline constexpr double kMillimetresPerInch = 25.4;
inline constexpr double kMillimetresPerMetre = 1000;

// The largest STL read. A restoration's mesh is a few MiB (200 000 facets
// are 10 MB in binary); a full jaw scan in ASCII is some hundred MiB. A
// larger file is not read, so that a wrong file (a disk image renamed) costs
// neither minutes nor gigabytes.
inline constexpr std::uint64_t kLargestStlBytes = std::uint64_t{256} << 20;

}  // namespace mesh
