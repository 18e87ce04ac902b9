// A margin line file read the way a run reads it, opened and then read,
// each failure marked with the step that failed, for the tests to tell
// them apart.
#pragma once

#include <expected>
#include <string>
#include <utility>

#include "qfm/margin_line.h"

namespace qfm {

enum class MarginLineFailure { CannotOpen, CannotRead };

struct MarginLineError {
  MarginLineFailure failure;
  common::RunError error;
};

inline std::expected<PointList, MarginLineError> read_margin_line_file(const std::string& path) {
  auto file = open_margin_line(path);
  if (!file) return std::unexpected(MarginLineError{MarginLineFailure::CannotOpen, file.error()});
  auto points = read_margin_line(*file);
  if (!points) {
    return std::unexpected(MarginLineError{MarginLineFailure::CannotRead, points.error()});
  }
  return std::move(*points);
}

}  // namespace qfm
