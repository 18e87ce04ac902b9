// The system's handle of an open file, as one integer type for both
// platforms: a descriptor on POSIX systems, a HANDLE on Windows. Both use
// -1 for "no file" (INVALID_HANDLE_VALUE is -1 as well).
#pragma once

#include <cstdint>

namespace platform {

using NativeFile = std::intptr_t;
inline constexpr NativeFile kNoFile = -1;

}  // namespace platform
