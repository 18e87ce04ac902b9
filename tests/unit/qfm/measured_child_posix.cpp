#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "measured_child.h"

namespace testing_support {

namespace {

std::size_t peak_resident_bytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<std::size_t>(usage.ru_maxrss) * 1024;  // Linux counts KiB
}

void write_all(int fd, const void* data, std::size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(fd, bytes, size);
    if (written <= 0) return;
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
}

// The child: start figures, then the outcome, through the pipe. _exit
// skips the parent's exit handlers, which are not the child's to run.
[[noreturn]] void run_child(int fd, const std::function<std::string()>& work) {
  const std::size_t start_bytes = peak_resident_bytes();
  const auto started = std::chrono::steady_clock::now();
  const std::string outcome = work();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  write_all(fd, &start_bytes, sizeof start_bytes);
  write_all(fd, &seconds, sizeof seconds);
  write_all(fd, outcome.data(), outcome.size());
  ::close(fd);
  ::_exit(0);
}

}  // namespace

ChildReport run_measured(const std::function<std::string()>& work) {
  std::fflush(nullptr);
  int fds[2];
  if (::pipe(fds) != 0) return {};
  const pid_t pid = ::fork();
  if (pid < 0) return {};
  if (pid == 0) {
    ::close(fds[0]);
    run_child(fds[1], work);
  }
  ::close(fds[1]);
  std::string message;
  char buffer[4096];
  for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) {
    message.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fds[0]);
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);

  ChildReport report;
  std::size_t start_bytes = 0;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      message.size() < sizeof start_bytes + sizeof report.seconds) {
    return report;
  }
  report.finished = true;
  std::memcpy(&start_bytes, message.data(), sizeof start_bytes);
  std::memcpy(&report.seconds, message.data() + sizeof start_bytes, sizeof report.seconds);
  report.outcome = message.substr(sizeof start_bytes + sizeof report.seconds);
  const auto peak = static_cast<std::size_t>(usage.ru_maxrss) * 1024;
  report.peak_bytes = peak > start_bytes ? peak - start_bytes : 0;
  return report;
}

bool memory_is_instrumented() {
#if defined(__SANITIZE_ADDRESS__)
  return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  return true;
#else
  return false;
#endif
#else
  return false;
#endif
}

}  // namespace testing_support
