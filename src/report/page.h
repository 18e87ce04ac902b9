// The report of a run as one self-contained HTML page (inline style and
// SVG, no script, nothing fetched): a summary of the run with a link to
// each case, then a section per case with its machine, material texts and
// findings, and per product its facts and drawings.
//
// The page is written in pieces so that a run of many cases never holds
// them all: the start (which needs only the summaries), then each case's
// section as soon as it is checked (its mesh and points may be freed
// after), then the end. A section depends on its case and position alone,
// so sections may be written on several threads and put in order after.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "report/report_records.h"

namespace report {

// The page's head, style and summary; `cases` in the order their sections
// will follow.
std::string report_start(const RunSummary& run, std::span<const CaseSummary> cases);

// The section of the case at `position` (1 for the first) in the summary.
// Its anchors: "case-N", "case-N-finding-F", "case-N-product-M" and
// "case-N-product-M-point-K", all counted from 1; a finding's product and
// point indices (counted from 0) link to the product and to the point's
// row in the product's table of points with findings.
std::string case_section(const CaseReport& case_report, std::size_t position);

std::string report_end();

// The whole page of `cases`: report_start, every section, report_end.
std::string write_report(const RunSummary& run, std::span<const CaseReport> cases);

}  // namespace report
