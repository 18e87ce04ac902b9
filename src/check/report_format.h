// The findings of a run as the user reads them: lines that editors and CI
// annotate, or one JSON document.
#pragma once

#include <cstddef>
#include <string>

#include "check/finding.h"

namespace check {

enum class Format { Text, Json };

struct RunSummary {
  std::size_t cases = 0;
  std::size_t errors = 0;
  std::size_t warnings = 0;
};

RunSummary summarise(std::size_t cases, const Findings& findings);

// "PATH:LINE:COLUMN: error|warning: MESSAGE [RULE]" per finding, then
// "N cases checked: E errors, W warnings".
std::string text_report(const Findings& findings, const RunSummary& summary);

// {"cases": N, "errors": E, "warnings": W, "findings": [{"path", "line",
// "column", "severity", "rule", "message"}, ...]}
std::string json_report(const Findings& findings, const RunSummary& summary);

std::string report(Format format, const Findings& findings, const RunSummary& summary);

}  // namespace check
