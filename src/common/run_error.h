// The error value of a run: one message and the ordered messages of the
// errors it wraps, innermost last. Every failing step returns one; only the
// process entry reports it.
#pragma once

#include <expected>
#include <string>
#include <vector>

namespace common {

struct RunError {
  std::string message;
  std::vector<std::string> causes;
};

// An error without causes.
RunError plain_error(std::string message);

// Puts `message` in front of `lower`: the lower message becomes the first
// cause, followed by its own causes.
RunError wrap_error(std::string message, RunError lower);

template <typename T>
using Result = std::expected<T, RunError>;

// The text written to standard error for `error`: "Error: ", the message,
// and the cause list with its indentation, ending in a line feed.
std::string render_report(const RunError& error);

}  // namespace common
