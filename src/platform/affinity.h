// The CPUs the process may run on, as the system tells it: the one
// question behind core_count that each system answers its own way.
#pragma once

#include <cstddef>

namespace platform {

// The CPUs in the process's affinity (taskset, a container's CPU set, a
// batch scheduler's limit; on Windows start /affinity or a job object's
// limit), 0 when the system does not say.
std::size_t cpus_in_affinity();

}  // namespace platform
