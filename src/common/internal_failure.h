// The one way a failed internal check ends the process: only broken
// embedded data (a catalog text that does not read) can lead here.
#pragma once

#include <string_view>

namespace common {

// Flushes standard output, writes `message` and a line feed to standard
// error and ends the process with status 101.
[[noreturn]] void internal_failure(std::string_view message);

}  // namespace common
