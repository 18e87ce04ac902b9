// The checker's command line: --format text|json and one or more paths,
// help and version.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "check/report_format.h"

namespace check {

struct CheckCli {
  Format format = Format::Text;
  std::vector<std::string> paths;
};

// What parsing ends with when it does not yield a CheckCli: the text for
// standard output or standard error and the exit status.
struct CheckCliExit {
  int status = 0;
  std::string out;
  std::string err;
};

// Parses the arguments after the program name.
std::variant<CheckCli, CheckCliExit> parse_check_arguments(
    const std::vector<std::string>& arguments);

}  // namespace check
