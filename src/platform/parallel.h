// Independent pieces of work spread over the cores the process may use.
#pragma once

#include <cstddef>
#include <functional>

namespace platform {

// The number of cores the process may use (at least 1): the CPUs of its
// affinity, which taskset, a container's CPU set or a batch scheduler may
// hold below the machine's count. Asked of the system once; the machine's
// count only where the system does not tell the affinity.
std::size_t core_count();

// Calls work(i) for every i below `count` and returns when all are done.
// With `worth_helpers` (the caller's judgement from the work's size, known
// before the work starts) the work is spread over core_count() threads,
// the calling thread among them (so one core starts no other thread);
// without, it all runs on the calling thread, in index order. Which thread takes which index is
// open; each index is taken once. An exception thrown by work reaches the caller, the first one if
// several.
void for_each_in_parallel(std::size_t count, bool worth_helpers,
                          const std::function<void(std::size_t)>& work);

}  // namespace platform
