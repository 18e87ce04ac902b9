// Memory for buffers that grow large and are filled from start to end: a
// whole case file, the points of a long margin. Mapped in small pages, such
// a buffer costs a page fault per 4 KiB and a translation miss at nearly
// every later read, more than the work done on its bytes; where the system
// offers huge pages, they are asked for before the buffer is first touched.
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

// Gives a list that may grow large room for `count` entries, the room
// advised before the entries already there are copied in.
template <typename T>
[[gnu::noinline]] void reserve_growing_list(std::vector<T>& list, std::size_t count) {
  if (count <= list.capacity()) return;
  std::vector<T> room;
  room.reserve(count);
  advise_large_buffer(room.data(), room.capacity() * sizeof(T));
  room.insert(room.end(), std::make_move_iterator(list.begin()),
              std::make_move_iterator(list.end()));
  list.swap(room);
}

// Appends to a list that may grow large, doubling its room as push_back
// would, but through reserve_growing_list once the room is large.
template <typename T, typename Value>
inline void append_to_growing_list(std::vector<T>& list, Value&& value) {
  if (list.size() == list.capacity() && list.size() * sizeof(T) >= kLargeBufferSize / 2) {
    [[unlikely]] reserve_growing_list(list, 2 * list.capacity());
  }
  list.push_back(std::forward<Value>(value));
}

}  // namespace platform
