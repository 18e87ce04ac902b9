#include <windows.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <thread>

#include "platform/parallel.h"

namespace platform {

namespace {

// The processors in the process's affinity mask (start /affinity, a job
// object's limit), 0 when the system does not say.
std::size_t processors_in_affinity() {
  DWORD_PTR process_mask = 0;
  DWORD_PTR system_mask = 0;
  if (!::GetProcessAffinityMask(::GetCurrentProcess(), &process_mask, &system_mask)) return 0;
  return static_cast<std::size_t>(std::popcount(static_cast<std::uintptr_t>(process_mask)));
}

}  // namespace

std::size_t core_count() {
  static const std::size_t cores = [] {
    const std::size_t allowed = processors_in_affinity();
    return allowed > 0 ? allowed : std::max(1u, std::thread::hardware_concurrency());
  }();
  return cores;
}

}  // namespace platform
