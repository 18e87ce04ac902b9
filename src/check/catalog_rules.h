// The case's machine, material and material brand reference against the
// catalogs: what the tool silently falls back from.
#pragma once

#include <string_view>

#include "check/case_context.h"
#include "machines/machine_catalog.h"

namespace check {

// The process as the checker's words name it: "milling", "printing".
std::string_view process_word(machines::Process process);

// machine-unknown, material-unknown, brand-ref-unknown, brand-ref-material.
void check_catalog_names(const CaseContext& context, Findings& findings);

}  // namespace check
