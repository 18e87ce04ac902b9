#include "common/run_error.h"

namespace common {

RunError plain_error(std::string message) { return RunError{std::move(message), {}}; }

RunError placed_error(std::string message, TextPlace place) {
  return RunError{std::move(message), {}, place};
}

RunError wrap_error(std::string message, RunError lower) {
  RunError wrapped{std::move(message), {}, lower.place};
  wrapped.causes.reserve(lower.causes.size() + 1);
  wrapped.causes.push_back(std::move(lower.message));
  for (auto& cause : lower.causes) wrapped.causes.push_back(std::move(cause));
  return wrapped;
}

namespace {

// Continuation lines of a multi-line cause line up under its first line.
void append_indented(std::string& out, std::string_view text, std::string_view indent) {
  for (char c : text) {
    out += c;
    if (c == '\n') out += indent;
  }
}

// "    0: ": the position right-aligned in five characters.
std::string numbered_prefix(std::size_t position) {
  std::string number = std::to_string(position);
  if (number.size() < 5) number.insert(0, 5 - number.size(), ' ');
  return number + ": ";
}

}  // namespace

std::string render_report(const RunError& error) {
  std::string out = "Error: " + error.message;
  if (!error.causes.empty()) {
    out += "\n\nCaused by:";
    const bool numbered = error.causes.size() > 1;
    const std::string_view indent = numbered ? "       " : "    ";
    for (std::size_t i = 0; i < error.causes.size(); ++i) {
      out += '\n';
      out += numbered ? numbered_prefix(i) : std::string(indent);
      append_indented(out, error.causes[i], indent);
    }
  }
  out += '\n';
  return out;
}

}  // namespace common
