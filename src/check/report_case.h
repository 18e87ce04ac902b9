// A checked case as the HTML report shows it: its section built from the
// case as loaded (machine, material texts, each product's facts, mesh and
// margin line) and the findings that the run reports of it.
#pragma once

#include <cstddef>
#include <string>

#include "check/case_context.h"
#include "check/finding.h"

namespace check {

// The section of the case at `position` (1 for the first) of the report.
// Its drawings view the context's meshes and points, so it is built while
// the context lives, and the meshes may be freed after.
std::string case_report_section(const CaseContext& context, const Findings& findings,
                                std::size_t position);

// The section of a case that never loaded: its path and its findings, no
// product; or, for a named file that could not be read (`trouble` not
// empty), what went wrong, counted apart from the findings as the summary
// line on standard output counts it.
std::string unloaded_case_section(const std::string& path, const Findings& findings,
                                  const std::string& trouble, std::size_t position);

}  // namespace check
