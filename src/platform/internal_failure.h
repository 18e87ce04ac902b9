// The one way a failed internal check ends the process: only broken
// embedded data (a catalog text that does not read) can lead here.
#pragma once

#include <expected>
#include <string>
#include <string_view>

namespace platform {

// Writes "internal failure: ", `message` and a line feed to standard error
// and ends the process with status 101; standard output is flushed by the
// C runtime as the process ends.
[[noreturn]] void internal_failure(std::string_view message);

// The value of `read`, or an internal failure with its message: for data
// that the program carries and that only a broken build could spoil.
template <typename T>
T value_or_internal_failure(std::expected<T, std::string> read) {
  if (!read) internal_failure(read.error());
  return std::move(*read);
}

}  // namespace platform
