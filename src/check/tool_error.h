// The tool's own failure as a finding: the same text that the tool
// prints, on one line.
#pragma once

#include <string>

#include "check/finding.h"
#include "common/run_error.h"

namespace check {

// The error's message and its causes, parted by ": "; placed at the
// error's place (a fault of reading the case's text), else at the file's
// start.
Finding tool_error(const std::string& display_path, const common::RunError& error);

}  // namespace check
