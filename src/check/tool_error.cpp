#include "check/tool_error.h"

#include <charconv>
#include <optional>

namespace check {

namespace {

// The number that ends `text` before `end`, and where it starts.
std::optional<std::size_t> number_before(std::string_view text, std::size_t& end) {
  std::size_t start = end;
  while (start > 0 && text[start - 1] >= '0' && text[start - 1] <= '9') --start;
  if (start == end) return std::nullopt;
  std::size_t value = 0;
  std::from_chars(text.data() + start, text.data() + end, value);
  end = start;
  return value;
}

// "... at line L column C" at the end of a JSON reading fault.
void place_from(std::string_view message, Finding& finding) {
  std::size_t end = message.size();
  const auto column = number_before(message, end);
  constexpr std::string_view kColumn = " column ";
  constexpr std::string_view kLine = " at line ";
  if (!column || !message.substr(0, end).ends_with(kColumn)) return;
  end -= kColumn.size();
  const auto line = number_before(message, end);
  if (!line || !message.substr(0, end).ends_with(kLine)) return;
  finding.line = *line;
  finding.column = *column == 0 ? 1 : *column;
}

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
  if (!error.causes.empty()) place_from(error.causes.back(), finding);
  return finding;
}

}  // namespace check
