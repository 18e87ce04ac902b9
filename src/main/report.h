// Writing a run error to standard error.
#pragma once

#include "common/run_error.h"

namespace app {

// Writes the report of `error` to standard error in one piece; a failure
// to write is ignored.
void report_error(const common::RunError& error);

}  // namespace app
