// Room for lists that grow large: every size is usable end to end and
// given back, and where huge pages are offered, large room starts at their
// boundary (else most of a list of a few MiB would lie on small pages).
#include "platform/large_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

#ifdef __linux__
#include <fcntl.h>
#include <unistd.h>
#endif

namespace platform {
namespace {

#ifdef __linux__
// The address space that the process holds (VmSize), read without the
// heap, which could itself grow it.
std::optional<std::size_t> address_space() {
  char text[8192];
  const int file = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
  const ssize_t size = file < 0 ? -1 : ::read(file, text, sizeof text - 1);
  if (file >= 0) ::close(file);
  if (size <= 0) return std::nullopt;
  text[size] = '\0';
  const char* line = std::strstr(text, "VmSize:");
  if (line == nullptr) return std::nullopt;
  return std::strtoull(line + 7, nullptr, 10) * 1024;
}
std::size_t whole_pages(std::size_t bytes) {
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  return (bytes + page - 1) / page * page;
}
#else
std::optional<std::size_t> address_space() { return std::nullopt; }
std::size_t whole_pages(std::size_t bytes) { return bytes; }
#endif

TEST(ListRoom, EverySizeIsUsableAndLargeRoomStartsOnAHugePage) {
  for (const std::size_t bytes :
       {std::size_t{1}, std::size_t{4096}, kLargeBufferSize - 1, kLargeBufferSize,
        kLargeBufferSize + 1, 2 * kLargeBufferSize + 4095, 5 * kLargeBufferSize / 2}) {
    SCOPED_TRACE(bytes);
    const auto space_before = address_space();
    auto* room = static_cast<unsigned char*>(allocate_list_room(bytes));
    const auto space_after = address_space();
    std::memset(room, 0xA5, bytes);
    EXPECT_EQ(room[0], 0xA5);
    EXPECT_EQ(room[bytes - 1], 0xA5);
    if (kListRoomOnHugePages && bytes >= kLargeBufferSize) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(room) % kLargeBufferSize, 0u);
      // What was mapped beyond the room to find the boundary is given back.
      if (space_before && space_after) {
        EXPECT_EQ(*space_after - *space_before, whole_pages(bytes));
      }
    }
    free_list_room(room, bytes);
  }
}

}  // namespace
}  // namespace platform
