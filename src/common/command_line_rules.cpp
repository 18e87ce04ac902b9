#include "common/command_line_rules.h"

namespace common {

namespace {

// What a group of short flags ("-hV", "-Vo", "-oh") asks for: the first
// help or version letter before a letter that takes the rest as its value.
std::optional<Informational> informational_in_short_flags(
    std::string_view flags, std::string_view short_options_with_values) {
  for (const char letter : flags) {
    if (letter == 'h') return Informational::Help;
    if (letter == 'V') return Informational::Version;
    if (short_options_with_values.find(letter) != std::string_view::npos) break;
  }
  return std::nullopt;
}

}  // namespace

std::optional<Informational> first_informational(const std::vector<std::string>& arguments,
                                                 std::string_view short_options_with_values) {
  for (const std::string& argument : arguments) {
    if (argument == "--") break;
    if (argument == "--help") return Informational::Help;
    if (argument == "--version") return Informational::Version;
    if (argument.size() < 2 || argument[0] != '-' || argument[1] == '-') continue;
    const auto asked = informational_in_short_flags(std::string_view(argument).substr(1),
                                                    short_options_with_values);
    if (asked) return asked;
  }
  return std::nullopt;
}

std::string usage_error_text(std::string_view what, std::string_view usage) {
  return "error: " + std::string(what) + "\n\n" + std::string(usage) +
         "\n\nFor more information, try '--help'.\n";
}

}  // namespace common
