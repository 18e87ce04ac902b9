#include "platform/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace platform {
namespace {

// Small work and large work (where helpers join) alike: every index once.
TEST(ForEachInParallel, TakesEveryIndexOnce) {
  for (const auto pause : {std::chrono::microseconds(0), std::chrono::microseconds(3000)}) {
    for (const std::size_t count : {0u, 1u, 2u, 7u, 64u}) {
      SCOPED_TRACE(count);
      std::vector<std::atomic<int>> taken(count);
      for_each_in_parallel(count, [&](std::size_t i) {
        std::this_thread::sleep_for(pause);
        ++taken[i];
      });
      for (const auto& times : taken) EXPECT_EQ(times, 1);
    }
  }
}

TEST(ForEachInParallel, HandsTheFirstExceptionToTheCaller) {
  std::atomic<int> done{0};
  EXPECT_THROW(for_each_in_parallel(16,
                                    [&](std::size_t i) {
                                      std::this_thread::sleep_for(std::chrono::milliseconds(2));
                                      if (i == 5) throw std::runtime_error("five");
                                      ++done;
                                    }),
               std::runtime_error);
  EXPECT_EQ(done, 15);
}

}  // namespace
}  // namespace platform
