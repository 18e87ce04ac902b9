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
// cache, and few pages to fault in: 8 x 400 points run in 2.65x `true`
// with 64 KiB, 3.08x with 256 KiB; large cases run alike with both. (A
// writer thread taking the pieces, and margins formatted on every core,
// made a large case slower on two cores: the output is written on the one
// thread.)
inline constexpr std::size_t kOutputPieceSize = 64 * 1024;

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
// length, cut into this many stretches per core, so that a core that
// finishes early takes another.
inline constexpr std::size_t kPointsAheadWindow = 4 * 1024 * 1024;
inline constexpr std::size_t kStretchesPerCore = 4;

}  // namespace platform
