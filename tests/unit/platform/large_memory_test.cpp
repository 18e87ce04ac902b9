// Room for lists that grow large: every size is usable end to end and
// given back, and where huge pages are offered, large room starts at their
// boundary (else most of a list of a few MiB would lie on small pages).
#include "platform/large_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

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

}  // namespace
}  // namespace platform
