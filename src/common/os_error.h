// Operating-system errors as run errors, made in one place so every cause
// reads "description (os error N)".
#pragma once

#include <system_error>

#include "common/run_error.h"

namespace common {

// The system's description of `code` followed by " (os error N)".
RunError os_error(std::error_code code);

// os_error for the calling thread's last error (errno, or GetLastError on
// Windows).
RunError last_os_error();

}  // namespace common
