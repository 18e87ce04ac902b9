#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

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

}  // namespace platform
