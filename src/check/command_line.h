// The checker's command line: --format text|json, rules to ignore, a
// report file, and one or more paths; help and version.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "check/report_format.h"
#include "common/command_line.h"

namespace check {

struct CheckCli {
  Format format = Format::Text;
  std::vector<std::string> paths;
  // The rule names given with --ignore, each as typed, in order.
  std::vector<std::string> ignored_rules;
  // The file given with --report; none when the option is not given.
  std::optional<std::string> report_path;
};

// What parsing ends with when it does not yield a CheckCli: the text for
// standard output or standard error and the exit status.
using CheckCliExit = common::CommandLineExit;

// Parses the arguments after the program name.
std::variant<CheckCli, CheckCliExit> parse_check_arguments(
    const std::vector<std::string>& arguments);

}  // namespace check
