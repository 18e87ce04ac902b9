#include "common/command_line_rules.h"

namespace common {

std::optional<Informational> first_informational(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "--") break;
    if (argument == "-h" || argument == "--help") return Informational::Help;
    if (argument == "-V" || argument == "--version") return Informational::Version;
  }
  return std::nullopt;
}

std::string usage_error_text(std::string_view what, std::string_view usage) {
  return "error: " + std::string(what) + "\n\n" + std::string(usage) +
         "\n\nFor more information, try '--help'.\n";
}

}  // namespace common
