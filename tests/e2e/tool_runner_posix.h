// Starting the tool the POSIX way, for the tests of how it meets signals,
// resource limits and closed or broken standard streams.
#pragma once

#include <sys/types.h>

#include "tool_runner.h"

namespace e2e {

struct Launch {
  // A command that runs the tool, such as {"prlimit", "--fsize=1024"}.
  std::vector<std::string> prefix;
  // Where standard output goes; with Discard standard error goes there too.
  enum class Output { File, Closed, BrokenPipe, Discard } output = Output::File;
  // The program run: the tool, or the case checker.
  std::string program = DAZ_TOOL;
};

// Runs the tool as `launch` says; `out` stays empty unless it goes to a file.
Outcome run_launched(const std::vector<std::string>& arguments,
                     const std::filesystem::path& directory, const Launch& launch);

// Starts the tool without waiting, its output streams on /dev/null; a
// `prefix` runs it as Launch's does.
pid_t start_tool(const std::vector<std::string>& arguments, const std::filesystem::path& directory,
                 const std::vector<std::string>& prefix = {});

// The prefix that runs the tool as a user without privileges (root passes
// every permission check), or none when the tests already run as one.
std::vector<std::string> unprivileged_prefix();

}  // namespace e2e
