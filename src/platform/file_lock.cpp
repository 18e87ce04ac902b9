#include "platform/file_lock.h"

#include <string>

namespace platform {

common::RunError lock_wait_exceeded(std::chrono::milliseconds bound) {
  const auto tenths = (bound.count() + 50) / 100;
  std::string waited = std::to_string(tenths / 10);
  if (tenths % 10 != 0) waited += "." + std::to_string(tenths % 10);
  return common::plain_error("Another run kept the output locked for " + waited +
                             " s; nothing was written");
}

}  // namespace platform
