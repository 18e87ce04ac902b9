#include <windows.h>

#include <algorithm>
#include <thread>

#include "platform/file_lock.h"
#include "platform/os_error.h"

namespace platform {

common::Result<void> lock_exclusively(NativeFile file, std::chrono::milliseconds bound) {
  const auto handle = reinterpret_cast<HANDLE>(file);
  const auto deadline = std::chrono::steady_clock::now() + bound;
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    OVERLAPPED from_start{};  // the range starts at offset 0 and covers every byte
    if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                   MAXDWORD, &from_start)) {
      return {};
    }
    const DWORD code = GetLastError();
    if (code == ERROR_NOT_SUPPORTED || code == ERROR_INVALID_FUNCTION ||
        code == ERROR_CALL_NOT_IMPLEMENTED) {
      return {};
    }
    if (code != ERROR_LOCK_VIOLATION && code != ERROR_IO_PENDING) {
      return std::unexpected(os_error(static_cast<int>(code)));
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      return std::unexpected(lock_wait_exceeded(bound));
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(50));
  }
}

}  // namespace platform
