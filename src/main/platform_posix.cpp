#include <csignal>

#include "main/platform.h"

namespace app {

std::vector<std::string> process_arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

void prepare_process() {
  // Without this, "-o /dev/stdout | true" would kill the process without a
  // word; the failed write is reported as a run error instead.
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace app
