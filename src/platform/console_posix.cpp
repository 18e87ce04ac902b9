#include <unistd.h>

#include <cerrno>

#include "platform/console.h"

namespace platform {

namespace {

bool write_all(int descriptor, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(descriptor, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

bool write_to_stdout(std::string_view text) { return write_all(STDOUT_FILENO, text); }

void write_to_stderr(std::string_view text) { (void)write_all(STDERR_FILENO, text); }

bool stderr_is_terminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace platform
