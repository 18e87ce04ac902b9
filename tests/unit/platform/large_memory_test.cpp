// Room for lists that grow large: every size is usable end to end and
// given back, the entries survive each move to larger room, and where
// huge pages are offered, large room starts at their boundary (else most
// of a list of a few MiB would lie on small pages).
#include "platform/large_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace platform {
namespace {

TEST(ListRoom, EverySizeIsUsableAndLargeRoomStartsOnAHugePage) {
  for (const std::size_t bytes :
       {std::size_t{1}, std::size_t{4096}, kLargeBufferSize - 1, kLargeBufferSize,
        kLargeBufferSize + 1, 2 * kLargeBufferSize + 4095, 5 * kLargeBufferSize / 2}) {
    SCOPED_TRACE(bytes);
    auto* room = static_cast<unsigned char*>(allocate_list_room(bytes));
    std::memset(room, 0xA5, bytes);
    EXPECT_EQ(room[0], 0xA5);
    EXPECT_EQ(room[bytes - 1], 0xA5);
    if (kListRoomOnHugePages && bytes >= kLargeBufferSize) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(room) % kLargeBufferSize, 0u);
    }
    free_list_room(room, bytes);
  }
}

TEST(ListRoom, AGrowingListKeepsItsEntriesAcrossEveryMove) {
  struct Entry {
    std::uint64_t a, b, c;
  };
  std::vector<Entry, ListRoomAllocator<Entry>> list;
  constexpr std::uint64_t kCount = 300'000;  // 7.2 MB: from the heap to huge pages
  for (std::uint64_t i = 0; i < kCount; ++i) append_to_growing_list(list, Entry{i, ~i, i * 3});
  reserve_growing_list(list, kCount + kCount / 2);
  ASSERT_EQ(list.size(), kCount);
  for (std::uint64_t i = 0; i < kCount; ++i) {
    ASSERT_EQ(list[i].a, i);
    ASSERT_EQ(list[i].b, ~i);
    ASSERT_EQ(list[i].c, i * 3);
  }
}

}  // namespace
}  // namespace platform
