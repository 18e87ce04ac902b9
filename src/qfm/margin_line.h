// Margin line files: the points between a BEGIN_ and an END_ marker line.
#pragma once

#include <expected>
#include <string>
#include <vector>

#include "common/run_error.h"
#include "qfm/case_metadata.h"

namespace qfm {

enum class MarginLineFailure {
  // The file could not be opened; `error` holds the system's error.
  CannotOpen,
  // Reading failed after opening: an input error or a line up to and
  // including the end marker that is not UTF-8.
  CannotRead,
};

struct MarginLineError {
  MarginLineFailure failure;
  common::RunError error;
};

// The points of the margin line file at `path`, in file order.
std::expected<std::vector<Vec3>, MarginLineError> read_margin_line(const std::string& path);

}  // namespace qfm
