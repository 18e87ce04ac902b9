// Independent pieces of work spread over the machine's cores.
#pragma once

#include <cstddef>
#include <functional>

namespace platform {

// The number of cores the process may use (at least 1), asked of the
// system once.
std::size_t core_count();

// Calls work(i) for every i below `count`, on as many threads as there are
// cores (the calling thread among them), and returns when all are done.
// Small work stays on the calling thread: helpers start only when the
// first piece took long enough to be worth them. Which thread takes which
// index is open; each index is taken once. An exception thrown by work
// reaches the caller, the first one if several.
void for_each_in_parallel(std::size_t count, const std::function<void(std::size_t)>& work);

}  // namespace platform
