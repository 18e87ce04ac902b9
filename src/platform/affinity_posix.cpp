#include <sched.h>

#include <cerrno>
#include <cstddef>
#include <memory>

#include "platform/affinity.h"

namespace platform {

std::size_t cpus_in_affinity() {
  // The set grows past a fixed cpu_set_t where the kernel counts more CPUs.
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

}  // namespace platform
