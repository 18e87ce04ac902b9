#include <sys/file.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "platform/file_lock.h"
#include "platform/os_error.h"

namespace platform {

common::Result<void> lock_exclusively(NativeFile file, std::chrono::milliseconds bound) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    // flock, not fcntl: its lock belongs to this open file, so no other
    // descriptor of the process closing the file lets it go.
    if (::flock(static_cast<int>(file), LOCK_EX | LOCK_NB) == 0) return {};
    if (errno == EINTR) continue;
    if (errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL) return {};
    if (errno != EWOULDBLOCK) return std::unexpected(last_os_error());
    if (std::chrono::steady_clock::now() >= deadline)
      return std::unexpected(lock_wait_exceeded(bound));
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(50));
  }
}

}  // namespace platform
