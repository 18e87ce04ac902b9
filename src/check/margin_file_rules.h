// The lines of a margin line file that the tool drops or misreads, each
// with the reason in the user's terms. Which lines those are is the margin
// line reader's own rule (qfm::classify_margin_line); only the reasons
// are the checker's.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/case_places.h"

namespace check {

struct LineFinding {
  std::size_t line = 1;
  std::size_t column = 1;
  std::string message;
  // For a line of numbers that the reader drops from the point section:
  // where its point would have stood in the margin as loaded (the count of
  // points read before it, so the margin's size after its last point).
  std::optional<std::size_t> point = std::nullopt;
};

// Every line of `bytes` (a margin line file) that loses or changes
// points, in line order.
std::vector<LineFinding> check_margin_line_text(std::string_view bytes);

// Where each point that the tool reads from `bytes` stands: the line and
// the column of its first number, in the order of the points as loaded.
// None when the tool reads no point of the file (a line not UTF-8).
std::optional<std::vector<TextPosition>> point_positions(std::string_view bytes);

}  // namespace check
