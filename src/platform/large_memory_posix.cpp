#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <new>

#include "platform/large_memory.h"

namespace platform {

void advise_large_buffer(void* data, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
  if (bytes < kLargeBufferSize) return;
  // madvise takes whole pages: only those that lie inside the buffer.
  static const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto start = (reinterpret_cast<std::uintptr_t>(data) + page - 1) / page * page;
  const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) / page * page;
  if (end > start) (void)madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

namespace {

constexpr std::size_t kHugePage = kLargeBufferSize;

std::size_t page_size() {
  static const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  return page;
}

std::size_t round_up(std::size_t bytes, std::size_t unit) {
  return (bytes + unit - 1) / unit * unit;
}

// The sanitizers watch the heap, not memory mapped here: under them, every
// list stays on the heap.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kListsOnHeap = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
constexpr bool kListsOnHeap = true;
#else
constexpr bool kListsOnHeap = false;
#endif
#else
constexpr bool kListsOnHeap = false;
#endif

bool is_heap_room(std::size_t bytes) { return kListsOnHeap || bytes < kLargeBufferSize; }

}  // namespace

const bool kListRoomOnHugePages = !kListsOnHeap;

void* allocate_list_room(std::size_t bytes) {
  if (is_heap_room(bytes)) return ::operator new(bytes);
  // A mapping one huge page longer than the room, cut to the room from
  // the first huge page boundary in it.
  const std::size_t length = round_up(bytes, page_size());
  const std::size_t mapped = length + kHugePage - page_size();
  void* mapping = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapping);
  const auto room = round_up(start, kHugePage);
  if (room > start) (void)munmap(mapping, room - start);
  const std::size_t after = start + mapped - (room + length);
  if (after > 0) (void)munmap(reinterpret_cast<void*>(room + length), after);
#ifdef MADV_HUGEPAGE
  const std::size_t whole_huge_pages = bytes / kHugePage * kHugePage;
  (void)madvise(reinterpret_cast<void*>(room), whole_huge_pages, MADV_HUGEPAGE);
#endif
  return reinterpret_cast<void*>(room);
}

std::size_t whole_huge_pages(std::size_t bytes) {
  if (kListsOnHeap || bytes < kHugePage / 4) return bytes;
  return round_up(bytes, kHugePage);
}

void free_list_room(void* room, std::size_t bytes) noexcept {
  if (is_heap_room(bytes)) return ::operator delete(room);
  (void)munmap(room, round_up(bytes, page_size()));
}

}  // namespace platform
