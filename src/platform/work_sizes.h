// How large a piece of work must be before a thread, a buffer or a huge
// page pays for itself: every such threshold of the program, in one place.
// Each is compared with a size known before the work starts (the case
// file's length, the margin files' sizes, a margin's point count), never
// with a time measured while it runs, so that one case always takes the
// same road. ARCHITECTURE.md ("Performance") gives the figure behind each.
#pragma once

#include <cstddef>

namespace platform {

// Huge pages: one huge page (2 MiB on x86-64); a smaller buffer cannot
// fill one, and asking costs a system call.
inline constexpr std::size_t kLargeBufferSize = 2 * 1024 * 1024;

// Output: the XML is handed to the file in pieces of this size, large
// enough that a write costs little per byte, small enough to stay in the
// cache while the writer thread takes it.
inline constexpr std::size_t kOutputPieceSize = 256 * 1024;

// Output: a document expected to be shorter than this is written on the
// calling thread; starting a writer thread costs more than it overlaps.
inline constexpr std::size_t kWorthAWriterThread = 1024 * 1024;

// Margin line files are read side by side, one per core, once their sizes
// add up to this much (about 40 000 point lines, some milliseconds of
// reading): below it the threads' start costs more than they save.
inline constexpr std::size_t kWorthReadingSideBySide = 1024 * 1024;

// Margin line files are read through a buffer of this size: few system
// calls per file, and the buffer stays in the cache.
inline constexpr std::size_t kMarginReadSize = 64 * 1024;

// A margin array in the case file is read ahead on every core once it
// seems this long (about 30 000 points, some milliseconds of reading) ...
inline constexpr std::size_t kWorthReadingPointsSideBySide = 1024 * 1024;
// ... a window of this much text at a time, so that the points read ahead
// but not yet taken (about 3 MiB of them) stay few whatever the array's
// length.
inline constexpr std::size_t kPointsAheadWindow = 4 * 1024 * 1024;

// Margin points are formatted by one thread this many at a time (about
// 650 KiB of text), a few stretches per core at once, ...
inline constexpr std::size_t kStretchPoints = 4096;
inline constexpr std::size_t kStretchesPerCore = 4;
// ... and only for a margin of at least two stretches does that pay.
inline constexpr std::size_t kWorthFormattingSideBySide = 2 * kStretchPoints;

// The room a margin point's text usually takes in the XML (about 160
// bytes at the margin's depth), to size stretches and to foresee a
// document's length from its point count.
inline constexpr std::size_t kPointTextEstimate = 160;

}  // namespace platform
