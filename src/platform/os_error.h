// Operating-system errors as run errors, made in one place so every cause
// reads "description (os error N)", the description being the system's
// own text for the code (strerror on POSIX systems, FormatMessage on
// Windows).
#pragma once

#include "common/run_error.h"

namespace platform {

// The system's description of the platform error `code` (an errno value,
// or a Windows error code) followed by " (os error N)".
common::RunError os_error(int code);

// os_error for the calling thread's last error (errno, or GetLastError on
// Windows).
common::RunError last_os_error();

}  // namespace platform
