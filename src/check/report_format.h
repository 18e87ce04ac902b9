// The findings of a run as the user reads them: lines that editors and CI
// annotate, or one JSON document.
#pragma once

#include <cstddef>
#include <string>

#include "check/finding.h"
#include "report/report_records.h"

namespace check {

enum class Format { Text, Json };

// The counts of a run: the page's, so that the summary line, the JSON
// document and the page cannot count apart.
using RunSummary = report::RunSummary;

// The run of `cases` cases checked that found `findings`.
RunSummary summarise(std::size_t cases, const Findings& findings);

// "PATH:LINE:COLUMN: error|warning: MESSAGE [RULE]" per finding, then
// "N cases checked: E errors, W warnings".
std::string text_report(const Findings& findings, const RunSummary& summary);

// {"cases": N, "errors": E, "warnings": W, "findings": [{"path", "line",
// "column", "severity", "rule", "message"}, ...]}
std::string json_report(const Findings& findings, const RunSummary& summary);

std::string report(Format format, const Findings& findings, const RunSummary& summary);

}  // namespace check
