#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform/process.h"

namespace platform {

std::vector<std::string> process_arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

void prepare_process() {
  // A standard stream that was closed at start would hand its number to
  // the next file opened, and a report or the Generated line could land in
  // that file; /dev/null takes its place instead.
  for (int descriptor = 0; descriptor <= 2; ++descriptor) {
    if (::fcntl(descriptor, F_GETFD) == -1 && errno == EBADF) {
      (void)::open("/dev/null", O_RDWR);
    }
  }
  // Without these, "-o /dev/stdout | true" or a file-size limit would end
  // the process without a word; the failed write is reported as a run
  // error instead, and the temporary file is removed.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace platform
