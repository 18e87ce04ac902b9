#include <new>

#include "platform/large_memory.h"

namespace platform {

// Large pages on Windows need a privilege that a console tool's user does
// not hold; the buffer keeps the usual pages.
void advise_large_buffer(void*, std::size_t) {}

const bool kListRoomOnHugePages = false;

// Without large pages, a list's room is the heap's, whatever its size.
void* allocate_list_room(std::size_t bytes) { return ::operator new(bytes); }

std::size_t whole_huge_pages(std::size_t bytes) { return bytes; }

void free_list_room(void* room, std::size_t) noexcept { ::operator delete(room); }

}  // namespace platform
