#include "check/tool_error.h"

#include <algorithm>

namespace check {

namespace {

// A cause's further lines (a fault of each variant tried) on the one line:
// after a colon with a space, else after "; ".
std::string on_one_line(std::string_view cause) {
  std::string out;
  for (std::size_t i = 0; i < cause.size(); ++i) {
    if (cause[i] != '\n') {
      out += cause[i];
      continue;
    }
    while (i + 1 < cause.size() && cause[i + 1] == ' ') ++i;
    out += !out.empty() && out.back() == ':' ? " " : "; ";
  }
  return out;
}

}  // namespace

Finding tool_error(const std::string& display_path, const common::RunError& error) {
  Finding finding{display_path, 1, 1, Rule::ToolError, error.message, std::nullopt, std::nullopt};
  for (const std::string& cause : error.causes) finding.message += ": " + on_one_line(cause);
  if (error.place) {
    finding.line = error.place->line;
    // A fault before a line's first character is shown at that character.
    finding.column = std::max<std::size_t>(error.place->column, 1);
  }
  return finding;
}

}  // namespace check
