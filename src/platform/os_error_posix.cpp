#include <cerrno>
#include <string>
#include <system_error>

#include "platform/os_error.h"

namespace platform {

common::RunError os_error(int code) {
  // The system category's text is strerror's, as users know it from other tools.
  return common::plain_error(std::system_category().message(code) + " (os error " +
                             std::to_string(code) + ")");
}

common::RunError last_os_error() { return os_error(errno); }

}  // namespace platform
