#include "platform/parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/affinity.h"

namespace platform {

std::size_t core_count() {
  static const std::size_t cores = [] {
    const std::size_t allowed = cpus_in_affinity();
    return allowed > 0 ? allowed : std::max(1u, std::thread::hardware_concurrency());
  }();
  return cores;
}

void for_each_in_parallel(std::size_t count, bool worth_helpers,
                          const std::function<void(std::size_t)>& work) {
  std::atomic<std::size_t> next{0};
  std::exception_ptr failure;
  std::mutex failure_mutex;
  const auto take_indices = [&] {
    for (std::size_t i = next++; i < count; i = next++) {
      try {
        work(i);
      } catch (...) {
        const std::lock_guard lock(failure_mutex);
        if (!failure) failure = std::current_exception();
      }
    }
  };
  const std::size_t threads = worth_helpers ? std::min(core_count(), count) : 1;
  std::vector<std::thread> helpers;
  for (std::size_t i = 1; i < threads; ++i) helpers.emplace_back(take_indices);
  take_indices();
  for (std::thread& helper : helpers) helper.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace platform
