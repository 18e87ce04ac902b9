#include <unistd.h>

#include <cerrno>

#include "platform/console.h"
#include "platform/os_error.h"

namespace platform {

namespace {

// The system's error of the write that failed; a write that takes nothing
// without an error is taken for an input/output error.
common::Result<void> write_all_checked(int descriptor, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(descriptor, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return std::unexpected(last_os_error());
    if (written == 0) return std::unexpected(os_error(EIO));
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

bool write_all(int descriptor, std::string_view text) {
  return write_all_checked(descriptor, text).has_value();
}

}  // namespace

bool write_to_stdout(std::string_view text) { return write_all(STDOUT_FILENO, text); }

common::Result<void> write_whole_to_stdout(std::string_view text) {
  return write_all_checked(STDOUT_FILENO, text);
}

void write_to_stderr(std::string_view text) { (void)write_all(STDERR_FILENO, text); }

bool stderr_is_terminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace platform
