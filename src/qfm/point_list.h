// A point of the case and the list of a margin's points, which may hold
// millions. The list takes its room through the platform's list room, so
// that a long margin lies on huge pages where the system offers them, and
// grows through reserve_points and append_point so that it is copied only
// a few times on the way.
#pragma once

#include <cstddef>
#include <iterator>
#include <vector>

#include "platform/large_memory.h"

namespace qfm {

struct Vec3 {
  double x = 0;
  double y = 0;
  double z = 0;
  bool operator==(const Vec3&) const = default;
};

// The allocator of point lists: room of a huge page or more starts at a
// huge page boundary (platform::allocate_list_room).
template <typename T>
struct PointRoomAllocator {
  using value_type = T;
  PointRoomAllocator() noexcept = default;
  template <typename U>
  PointRoomAllocator(const PointRoomAllocator<U>&) noexcept {}
  T* allocate(std::size_t count) {
    return static_cast<T*>(platform::allocate_list_room(count * sizeof(T)));
  }
  void deallocate(T* room, std::size_t count) noexcept {
    platform::free_list_room(room, count * sizeof(T));
  }
  template <typename U>
  bool operator==(const PointRoomAllocator<U>&) const noexcept {
    return true;
  }
};

using PointList = std::vector<Vec3, PointRoomAllocator<Vec3>>;

// Gives `points` room for `count` points at once, before the points
// already there are moved in.
[[gnu::noinline]] inline void reserve_points(PointList& points, std::size_t count) {
  if (count <= points.capacity()) return;
  PointList room;
  room.reserve(count);
  room.insert(room.end(), std::make_move_iterator(points.begin()),
              std::make_move_iterator(points.end()));
  points.swap(room);
}

// Appends a point, doubling the room as push_back would, but through
// reserve_points once the room is large.
inline void append_point(PointList& points, const Vec3& point) {
  if (points.size() == points.capacity() &&
      points.size() * sizeof(Vec3) >= platform::kLargeBufferSize / 2) {
    [[unlikely]] reserve_points(points, 2 * points.capacity());
  }
  points.push_back(point);
}

}  // namespace qfm
