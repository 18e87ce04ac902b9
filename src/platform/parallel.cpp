#include "platform/parallel.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

namespace {

// Work that the calling thread finishes sooner than this is not worth
// starting threads for (they cost about a tenth of it each).
constexpr auto kWorthHelpers = std::chrono::milliseconds(1);

}  // namespace

std::size_t core_count() {
  static const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  return cores;
}

void for_each_in_parallel(std::size_t count, const std::function<void(std::size_t)>& work) {
  std::atomic<std::size_t> next{0};
  std::exception_ptr failure;
  std::mutex failure_mutex;
  const auto take = [&](std::size_t i) {
    try {
      work(i);
    } catch (...) {
      const std::lock_guard lock(failure_mutex);
      if (!failure) failure = std::current_exception();
    }
  };
  const auto take_indices = [&] {
    for (std::size_t i = next++; i < count; i = next++) take(i);
  };
  // The calling thread starts alone; helpers join only once a piece of
  // work has shown that the whole is large.
  const auto start = std::chrono::steady_clock::now();
  std::size_t first = next++;
  if (first < count) take(first);
  std::vector<std::thread> helpers;
  if (next < count && std::chrono::steady_clock::now() - start >= kWorthHelpers) {
    for (std::size_t i = 1; i < std::min(core_count(), count - next); ++i) {
      helpers.emplace_back(take_indices);
    }
  }
  take_indices();
  for (std::thread& helper : helpers) helper.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace platform
