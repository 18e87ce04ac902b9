// The error value of a run: one message and the ordered messages of the
// errors it wraps, innermost last, and where in a text the innermost fault
// stands when it is a fault of reading one. Every failing step returns one;
// only the process entry reports it.
#pragma once

#include <cstddef>
#include <expected>
#include <optional>
#include <string>
#include <vector>

namespace common {

// Where in the text read a fault was found: the byte offset reading stood
// at, and the line (from 1) and column (characters up to the fault's own,
// 0 before a line's first) that its message names.
struct TextPlace {
  std::size_t offset = 0;
  std::size_t line = 1;
  std::size_t column = 0;
};

struct RunError {
  std::string message;
  std::vector<std::string> causes;
  // The innermost fault's place, when it is one of a text read (a JSON
  // fault); its message says it too, for the user, but a program placing
  // the fault takes it from here.
  std::optional<TextPlace> place = std::nullopt;
};

// An error without causes.
RunError plain_error(std::string message);

// An error without causes, for a fault at `place` of a text read.
RunError placed_error(std::string message, TextPlace place);

// Puts `message` in front of `lower`: the lower message becomes the first
// cause, followed by its own causes; the lower place is kept.
RunError wrap_error(std::string message, RunError lower);

template <typename T>
using Result = std::expected<T, RunError>;

// The text written to standard error for `error`: "Error: ", the message,
// and the cause list with its indentation, ending in a line feed.
std::string render_report(const RunError& error);

}  // namespace common
