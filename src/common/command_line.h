// The one command-line front end of both programs, the tool and its
// checker: each gives only its definition (name, version, description,
// its options and its positional argument), and gets back the values
// given, or how the process is to end (help, version, usage error). Help
// and version win wherever they stand, the first of them; every value,
// an option's or a positional one, may not be empty.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace common {

// How often an option may be given.
enum class Occurrences { AtMostOnce, Repeatable };

// An option that takes one value each time it is given.
struct OptionDefinition {
  char short_name = 0;          // 0 when the option has only its long name
  std::string_view long_name;   // without the leading "--"
  std::string_view value_name;  // shown in angle brackets: "FILE"
  std::string_view help;
  Occurrences occurrences = Occurrences::AtMostOnce;
  // The values it takes; empty when any value (but the empty one) will do.
  std::span<const std::string_view> choices;
  // Shown as "[default: ...]" after the help; empty for none.
  std::string_view default_value;
};

// The positional argument: one value, or one or more.
struct PositionalDefinition {
  std::string_view value_name;  // shown in angle brackets: "JSON"
  std::string_view help;
  bool one_or_more = false;
};

struct CommandDefinition {
  std::string_view name;
  std::string_view version;
  std::string_view about;
  PositionalDefinition positional;
  std::span<const OptionDefinition> options;
  // A paragraph that ends the help; empty for none.
  std::string_view after_help;
  // The exit status of a failure that is not the command line's fault
  // (running out of memory while reading it).
  int failure_status = 1;
};

// The values given: the positional ones in order, and for each option (in
// the definition's order) the value of each time it was given.
struct ParsedArguments {
  std::vector<std::string> positionals;
  std::vector<std::vector<std::string>> option_values;
};

// How the process ends when parsing yields no arguments to run with: the
// text for standard output or standard error and the exit status.
struct CommandLineExit {
  int status = 0;
  std::string out;
  std::string err;
};

// "Usage: <name> [OPTIONS] <VALUE>" ("<VALUE>..." for one or more).
std::string usage_line(const CommandDefinition& command);

// The help: description, usage line, the positional argument, the options
// and the two standard flags, then the closing paragraph.
std::string help_text(const CommandDefinition& command);

// "<name> <version>" and a line end.
std::string version_line(const CommandDefinition& command);

// Parses the arguments after the program name. Never throws: a parser's
// fault is a usage error (status 2), running out of memory a failure
// (the definition's failure status).
std::variant<ParsedArguments, CommandLineExit> parse_arguments(
    const CommandDefinition& command, const std::vector<std::string>& arguments);

// Prints the exit's texts on standard output and standard error.
void print_exit(const CommandLineExit& exit);

}  // namespace common
