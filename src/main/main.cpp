// Process entry: parse the command line, run, report, exit.
#include <cstdio>

#include "common/exit_status.h"
#include "main/command_line.h"
#include "main/report.h"
#include "main/run.h"

int main(int argc, char** argv) {
  const app::Cli cli = app::parse_command_line(argc, argv);
  const auto outcome = app::run_generation(cli);
  std::fflush(stdout);
  if (!outcome) {
    app::report_error(outcome.error());
    return common::kRunError;
  }
  return common::kSuccess;
}
