#include "platform/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace platform {
namespace {

// On the calling thread alone or with helpers, short work or long: every
// index once.
TEST(ForEachInParallel, TakesEveryIndexOnce) {
  for (const bool worth_helpers : {false, true}) {
    for (const auto pause : {std::chrono::microseconds(0), std::chrono::microseconds(3000)}) {
      for (const std::size_t count : {0u, 1u, 2u, 7u, 64u}) {
        SCOPED_TRACE(testing::Message() << "helpers " << worth_helpers << ", count " << count
                                        << ", pause " << pause.count());
        std::vector<std::atomic<int>> taken(count);
        for_each_in_parallel(count, worth_helpers, [&](std::size_t i) {
          std::this_thread::sleep_for(pause);
          ++taken[i];
        });
        for (const auto& times : taken) EXPECT_EQ(times, 1);
      }
    }
  }
}

// Without helpers the work stays on the calling thread, in index order.
TEST(ForEachInParallel, SmallWorkStaysOnTheCallingThreadInOrder) {
  std::vector<std::size_t> order;
  std::atomic<int> elsewhere{0};
  const auto caller = std::this_thread::get_id();
  for_each_in_parallel(9, false, [&](std::size_t i) {
    if (std::this_thread::get_id() != caller) ++elsewhere;
    order.push_back(i);
  });
  EXPECT_EQ(elsewhere, 0);
  EXPECT_EQ(order, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(ForEachInParallel, HandsTheFirstExceptionToTheCaller) {
  for (const bool worth_helpers : {false, true}) {
    SCOPED_TRACE(worth_helpers);
    std::atomic<int> done{0};
    EXPECT_THROW(for_each_in_parallel(16, worth_helpers,
                                      [&](std::size_t i) {
                                        std::this_thread::sleep_for(std::chrono::milliseconds(2));
                                        if (i == 5) throw std::runtime_error("five");
                                        ++done;
                                      }),
                 std::runtime_error);
    EXPECT_EQ(done, 15);
  }
}

}  // namespace
}  // namespace platform
