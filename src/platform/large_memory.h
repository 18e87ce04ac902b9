// Memory for buffers that grow large and are filled from start to end: a
// whole case file, the points of a long margin. Mapped in small pages, such
// a buffer costs a page fault per 4 KiB (on a virtual machine, several
// microseconds each) and a translation miss at nearly every later read,
// more than the work done on its bytes; where the system offers huge
// pages, they are asked for before the buffer is first touched.
#pragma once

#include <cstddef>

namespace platform {

// Huge pages: one huge page (2 MiB on x86-64); a smaller buffer cannot
// fill one, and asking costs a system call.
inline constexpr std::size_t kLargeBufferSize = 2 * 1024 * 1024;

// Asks for huge pages for the untouched memory [data, data + bytes) when
// it spans kLargeBufferSize; a request the system declines changes nothing
// but the speed.
void advise_large_buffer(void* data, std::size_t bytes);

// Room of `bytes` for a list that may grow large. From kLargeBufferSize on
// it comes straight from the system, starting at a huge page's boundary, so
// that every whole huge page of it can be one (the usual heap would start
// it anywhere, and most of a list of a few MiB would then lie on small
// pages): a list of 2.4 MiB costs two page faults, not six hundred. Only
// whole huge pages of the room are asked for, so that room beyond the last
// one costs no more than it would on the heap. Throws std::bad_alloc.
void* allocate_list_room(std::size_t bytes);
// The room to ask of allocate_list_room for a list of `bytes` that is
// filled whole at once: where rooms lie on huge pages, from a quarter of
// one on, rounded up to whole huge pages, so that the list (or its end) is
// one huge page rather than hundreds of small ones, at the cost of less
// than one huge page of memory. Otherwise `bytes` itself.
std::size_t whole_huge_pages(std::size_t bytes);
// Gives back room from allocate_list_room, of the same size.
void free_list_room(void* room, std::size_t bytes) noexcept;
// Whether room of kLargeBufferSize or more starts at a huge page boundary
// here: not on Windows, and not under the sanitizers, which watch only the
// heap.
extern const bool kListRoomOnHugePages;

}  // namespace platform
