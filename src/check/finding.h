// One thing the checker found in a case: where, how grave, what, and the
// rule that found it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace check {

// An error is what the tool itself refuses (it writes no document); a
// warning is what it accepts but almost surely turns into a wrong one.
enum class Severity { Error, Warning };

std::string_view severity_name(Severity severity);

struct Finding {
  std::string path;  // the file it is in, for display
  std::size_t line = 1;
  std::size_t column = 1;
  Severity severity = Severity::Warning;
  std::string message;
  std::string rule;  // "bounding-box-order", ...
};

using Findings = std::vector<Finding>;

// The findings of one case: those in its case file first, then those of
// each other file in the order first named, each file's by position.
void order_findings(Findings& findings, std::string_view case_path);

}  // namespace check
