// Process entry of the case checker: parse the command line, check, exit.
#include <variant>

#include "check/command_line.h"
#include "check/run_check.h"
#include "platform/process.h"

int main(int argc, char** argv) {
  platform::prepare_process();
  const auto parsed = check::parse_check_arguments(platform::process_arguments(argc, argv));
  if (const auto* exit = std::get_if<check::CheckCliExit>(&parsed)) {
    common::print_exit(*exit);
    return exit->status;
  }
  return check::run_check(std::get<check::CheckCli>(parsed));
}
