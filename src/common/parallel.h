// Independent pieces of work spread over the machine's cores.
#pragma once

#include <cstddef>
#include <functional>

namespace common {

// Calls work(i) for every i below `count`, on as many threads as there are
// cores (the calling thread among them), and returns when all are done.
// Which thread takes which index is open; each index is taken once. An
// exception thrown by work reaches the caller, the first one if several.
void for_each_in_parallel(std::size_t count, const std::function<void(std::size_t)>& work);

}  // namespace common
