// Memory for buffers that grow large and are filled from start to end: a
// whole case file, the points of a long margin. Mapped in small pages, such
// a buffer costs a page fault per 4 KiB (on a virtual machine, several
// microseconds each) and a translation miss at nearly every later read,
// more than the work done on its bytes; where the system offers huge
// pages, they are asked for before the buffer is first touched.
#pragma once

#include <cstddef>
#include <iterator>
#include <utility>
#include <vector>

#include "platform/work_sizes.h"

namespace platform {

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
// Gives back room from allocate_list_room, of the same size.
void free_list_room(void* room, std::size_t bytes) noexcept;
// Whether room of kLargeBufferSize or more starts at a huge page boundary
// here: not on Windows, and not under the sanitizers, which watch only the
// heap.
extern const bool kListRoomOnHugePages;

// The allocator of lists that may grow large, through allocate_list_room.
template <typename T>
struct ListRoomAllocator {
  using value_type = T;
  ListRoomAllocator() noexcept = default;
  template <typename U>
  ListRoomAllocator(const ListRoomAllocator<U>&) noexcept {}
  T* allocate(std::size_t count) {
    return static_cast<T*>(allocate_list_room(count * sizeof(T)));
  }
  void deallocate(T* room, std::size_t count) noexcept { free_list_room(room, count * sizeof(T)); }
  template <typename U>
  bool operator==(const ListRoomAllocator<U>&) const noexcept {
    return true;
  }
};

// Gives a list that may grow large room for `count` entries at once,
// before the entries already there are moved in.
template <typename T, typename Allocator>
[[gnu::noinline]] void reserve_growing_list(std::vector<T, Allocator>& list, std::size_t count) {
  if (count <= list.capacity()) return;
  std::vector<T, Allocator> room;
  room.reserve(count);
  room.insert(room.end(), std::make_move_iterator(list.begin()),
              std::make_move_iterator(list.end()));
  list.swap(room);
}

// Appends to a list that may grow large, doubling its room as push_back
// would, but through reserve_growing_list once the room is large.
template <typename T, typename Allocator, typename Value>
inline void append_to_growing_list(std::vector<T, Allocator>& list, Value&& value) {
  if (list.size() == list.capacity() && list.size() * sizeof(T) >= kLargeBufferSize / 2) {
    [[unlikely]] reserve_growing_list(list, 2 * list.capacity());
  }
  list.push_back(std::forward<Value>(value));
}

}  // namespace platform
