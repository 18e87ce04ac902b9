#include "platform/file_lock.h"

#include <string>
#include <utility>

namespace platform {

common::RunError lock_wait_exceeded(std::chrono::milliseconds bound) {
  const auto tenths = (bound.count() + 50) / 100;
  std::string waited = std::to_string(tenths / 10);
  // Appended piece by piece: GCC 12 at -O2 takes `"." + to_string(...)`
  // for an overlapping copy (-Wrestrict).
  if (tenths % 10 != 0) {
    waited += '.';
    waited += std::to_string(tenths % 10);
  }
  std::string message = "Another run kept the output locked for ";
  message += waited;
  message += " s; nothing was written";
  return common::plain_error(std::move(message));
}

}  // namespace platform
