#include <sched.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <memory>
#include <thread>

#include "platform/parallel.h"

namespace platform {

namespace {

// The CPUs in the process's affinity (taskset, a container's CPU set, a
// batch scheduler's limit), 0 when the system does not say. The set is
// sized for more CPUs than a fixed cpu_set_t holds where the kernel
// counts more.
std::size_t cpus_in_affinity() {
  struct FreeSet {
    void operator()(cpu_set_t* set) const { CPU_FREE(set); }
  };
  for (std::size_t cpus = CPU_SETSIZE; cpus <= (std::size_t{1} << 20); cpus *= 2) {
    const std::unique_ptr<cpu_set_t, FreeSet> set(CPU_ALLOC(cpus));
    if (!set) return 0;
    const std::size_t bytes = CPU_ALLOC_SIZE(cpus);
    if (::sched_getaffinity(0, bytes, set.get()) == 0) {
      return static_cast<std::size_t>(CPU_COUNT_S(bytes, set.get()));
    }
    if (errno != EINVAL) return 0;
  }
  return 0;
}

}  // namespace

std::size_t core_count() {
  static const std::size_t cores = [] {
    const std::size_t allowed = cpus_in_affinity();
    return allowed > 0 ? allowed : std::max(1u, std::thread::hardware_concurrency());
  }();
  return cores;
}

}  // namespace platform
