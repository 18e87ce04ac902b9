// The cores counted are those the process may run on, as taskset or a
// container's CPU set leaves them, not the machine's.
#include <gtest/gtest.h>
#include <sched.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/parallel.h"

namespace platform {
namespace {

// The CPUs this process may run on, in order.
std::vector<std::size_t> allowed_cpus() {
  cpu_set_t set;
  CPU_ZERO(&set);
  std::vector<std::size_t> cpus;
  if (::sched_getaffinity(0, sizeof set, &set) != 0) return cpus;
  for (std::size_t cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
    if (CPU_ISSET(cpu, &set)) cpus.push_back(cpu);
  }
  return cpus;
}

// The process's threads, as /proc counts them.
int thread_count() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("Threads:")) return std::atoi(line.c_str() + 8);
  }
  return -1;
}

// Held to `cpus` before its first question, a fresh process counts those
// and spreads work worth helpers over that many threads: the helpers are
// all running once the calling thread takes its first index. Exits with
// the count when the threads agree with it, 100 when they do not.
[[noreturn]] void count_cores_held_to(const std::vector<std::size_t>& cpus) {
  cpu_set_t set;
  CPU_ZERO(&set);
  for (const std::size_t cpu : cpus) CPU_SET(cpu, &set);
  if (::sched_setaffinity(0, sizeof set, &set) != 0) std::_Exit(101);
  const std::size_t cores = core_count();
  const int before = thread_count();
  const auto caller = std::this_thread::get_id();
  std::atomic<int> during{-1};
  for_each_in_parallel(64, true, [&](std::size_t) {
    if (std::this_thread::get_id() == caller && during < 0) during = thread_count();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  if (during < 0) std::_Exit(102);
  std::_Exit(during - before == static_cast<int>(cores) - 1 ? static_cast<int>(cores) : 100);
}

TEST(CoreCountDeathTest, CountsTheCpusTheProcessIsHeldTo) {
  // A fresh process for each row: the count is asked of the system once.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::vector<std::size_t> cpus = allowed_cpus();
  ASSERT_FALSE(cpus.empty());
  for (const std::size_t held : {std::size_t{1}, std::size_t{2}}) {
    if (held > cpus.size()) continue;
    SCOPED_TRACE(held);
    const std::vector<std::size_t> some(cpus.begin(), cpus.begin() + static_cast<long>(held));
    EXPECT_EXIT(count_cores_held_to(some), testing::ExitedWithCode(static_cast<int>(held)), "");
  }
}

}  // namespace
}  // namespace platform
