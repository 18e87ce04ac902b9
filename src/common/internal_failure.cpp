#include "common/internal_failure.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/exit_status.h"

namespace common {

void internal_failure(std::string_view message) {
  std::fflush(stdout);
  const std::string line = "internal failure: " + std::string(message) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
  std::exit(kInternalFailure);
}

}  // namespace common
