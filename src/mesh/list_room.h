// Lists as large as a mesh (its facets, its triangles, the tables that
// match its edges) on the platform's list room: huge pages where the system
// offers them. On small pages, the page faults of a mesh of 200 000 facets
// (several microseconds each on a virtual machine) cost more than all the
// work done on it.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/large_memory.h"
#include "qfm/point_list.h"

namespace mesh {

template <typename T>
using ListRoom = qfm::PointRoomAllocator<T>;

template <typename T>
using RoomList = std::vector<T, ListRoom<T>>;

// Room for `count` items at once, its end a whole huge page: for a list
// filled to `count` and never grown.
template <typename List>
void reserve_whole(List& list, std::size_t count) {
  using T = typename List::value_type;
  // Rounded up, so that the room covers its last huge page whole.
  list.reserve((platform::whole_huge_pages(count * sizeof(T)) + sizeof(T) - 1) / sizeof(T));
}

// A list of `count` items, each `value`, in room of reserve_whole.
template <typename T>
RoomList<T> room_list(std::size_t count, const T& value) {
  RoomList<T> list;
  reserve_whole(list, count);
  list.resize(count, value);
  return list;
}

}  // namespace mesh
