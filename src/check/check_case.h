// One case checked: first as the tool would take it up to writing its
// document (where the tool fails, its own message is the finding), then by
// every rule of what the tool accepts but almost surely did not mean.
#pragma once

#include <string>

#include "check/finding.h"

namespace check {

// The findings of the case file at `path`, in order (order_findings).
Findings check_case(const std::string& path);

}  // namespace check
