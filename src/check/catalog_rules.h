// The case's machine, material and material brand reference against the
// catalogs: what the tool silently falls back from.
#pragma once

#include "check/case_context.h"

namespace check {

// machine-unknown, material-unknown, brand-ref-unknown, brand-ref-material.
void check_catalog_names(const CaseContext& context, Findings& findings);

}  // namespace check
