#include "platform/internal_failure.h"

#include <cstdlib>
#include <string>

#include "common/exit_status.h"
#include "platform/console.h"

namespace platform {

void internal_failure(std::string_view message) {
  write_to_stderr("internal failure: " + std::string(message) + "\n");
  std::exit(common::kInternalFailure);
}

}  // namespace platform
