// The command-line surface: one JSON path, an optional output path, help
// and version.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "common/command_line.h"

namespace app {

struct Cli {
  std::string json_path;
  std::optional<std::string> output;
};

// What parsing ends with when it does not yield a Cli: the text for
// standard output or standard error and the exit status.
using CommandLineExit = common::CommandLineExit;

// Parses the arguments after the program name.
std::variant<Cli, CommandLineExit> parse_arguments(const std::vector<std::string>& arguments);

// The process's own arguments (after the program name): returns the Cli,
// or prints help, version or a usage error and ends the process (status
// 0, 0 or 2; 1 when memory runs out).
Cli parse_command_line(const std::vector<std::string>& arguments);

}  // namespace app
