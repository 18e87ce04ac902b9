// The exit statuses of the process, the only numbers integrators script by.
#pragma once

namespace common {

enum ExitStatus : int {
  kSuccess = 0,
  kRunError = 1,
  kUsageError = 2,
  kInternalFailure = 101,
};

}  // namespace common
