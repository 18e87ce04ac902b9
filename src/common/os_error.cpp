#include "common/os_error.h"

#include <cerrno>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace common {

RunError os_error(std::error_code code) {
  return plain_error(code.message() + " (os error " + std::to_string(code.value()) + ")");
}

RunError last_os_error() {
#ifdef _WIN32
  return os_error(std::error_code(static_cast<int>(GetLastError()), std::system_category()));
#else
  return os_error(std::error_code(errno, std::system_category()));
#endif
}

}  // namespace common
