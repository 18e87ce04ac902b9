#include <windows.h>

#include <bit>
#include <cstddef>
#include <cstdint>

#include "platform/affinity.h"

namespace platform {

std::size_t cpus_in_affinity() {
  DWORD_PTR process_mask = 0;
  DWORD_PTR system_mask = 0;
  if (!::GetProcessAffinityMask(::GetCurrentProcess(), &process_mask, &system_mask)) return 0;
  return static_cast<std::size_t>(std::popcount(static_cast<std::uintptr_t>(process_mask)));
}

}  // namespace platform
