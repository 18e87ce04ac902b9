// A run of the checker: every case of the command line, checked on every
// core, reported in path order.
#pragma once

#include "check/command_line.h"

namespace check {

// Checks, prints the report on standard output (a progress line on a
// terminal's standard error meanwhile) and gives the exit status: 0 when
// nothing was found, 1 when anything was.
int run_check(const CheckCli& cli);

}  // namespace check
