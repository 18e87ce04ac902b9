#include <cerrno>
#include <string>
#include <system_error>

#include "common/os_error.h"

namespace common {

RunError os_error(int code) {
  // The system category's text is strerror's, as users know it from other tools.
  return plain_error(std::system_category().message(code) + " (os error " + std::to_string(code) +
                     ")");
}

RunError last_os_error() { return os_error(errno); }

}  // namespace common
