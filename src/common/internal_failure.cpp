#include "common/internal_failure.h"

#include <cstdlib>
#include <string>

#include "common/console.h"
#include "common/exit_status.h"

namespace common {

void internal_failure(std::string_view message) {
  write_to_stderr("internal failure: " + std::string(message) + "\n");
  std::exit(kInternalFailure);
}

}  // namespace common
