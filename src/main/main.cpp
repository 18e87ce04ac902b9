// Process entry: parse the command line, run, report, exit.
#include <new>
#include <stdexcept>

#include "common/exit_status.h"
#include "main/command_line.h"
#include "main/report.h"
#include "main/run.h"
#include "platform/process.h"

namespace {

// The run, with running out of memory turned into a run error: unwinding
// removes any temporary output, and the user gets a message, not an abort.
common::Result<void> run_within_memory(const app::Cli& cli) {
  try {
    return app::run_generation(cli);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  return std::unexpected(common::plain_error("Ran out of memory"));
}

}  // namespace

int main(int argc, char** argv) {
  platform::prepare_process();
  const app::Cli cli = app::parse_command_line(platform::process_arguments(argc, argv));
  const auto outcome = run_within_memory(cli);
  if (!outcome) {
    app::report_error(outcome.error());
    return common::kRunError;
  }
  return common::kSuccess;
}
