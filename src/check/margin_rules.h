// The margin lines of a case: the lines of each .pts file that the tool
// drops, margins too short to be lines, .pts sections that replace the
// case file's own points, and .pts files named twice.
#pragma once

#include "check/case_context.h"

namespace check {

// margin-line-dropped, margin-line-short, margin-line-replaces-inline,
// pts-shared.
void check_margin_lines(const CaseContext& context, Findings& findings);

}  // namespace check
