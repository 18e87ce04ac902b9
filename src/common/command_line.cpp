#include "common/command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <new>
#include <stdexcept>

#include "common/command_line_rules.h"
#include "common/exit_status.h"
#include "platform/console.h"
#include "platform/path_text.h"

namespace common {

namespace {

constexpr std::string_view kEmptyValue = "a value may not be empty";

// A value that names a file or a rule may not be empty.
const CLI::Validator kNonEmpty(
    [](std::string& value) { return value.empty() ? std::string(kEmptyValue) : ""; }, "",
    "non-empty");

std::string option_label(const OptionDefinition& option) {
  std::string label;
  if (option.short_name != 0) label += std::string{'-', option.short_name} + ", ";
  label += "--" + std::string(option.long_name) + " <" + std::string(option.value_name) + ">";
  return label;
}

std::string option_help(const OptionDefinition& option) {
  std::string help(option.help);
  if (!option.default_value.empty())
    help += " [default: " + std::string(option.default_value) + "]";
  return help;
}

std::string short_options_with_values(const CommandDefinition& command) {
  std::string letters;
  for (const OptionDefinition& option : command.options) {
    if (option.short_name != 0) letters += option.short_name;
  }
  return letters;
}

std::string usage_error(const CommandDefinition& command, std::string_view what) {
  return usage_error_text(what, usage_line(command));
}

std::optional<CommandLineExit> informational_exit(const CommandDefinition& command,
                                                  const std::vector<std::string>& arguments) {
  const auto asked = first_informational(arguments, short_options_with_values(command));
  if (!asked) return std::nullopt;
  switch (*asked) {
    case Informational::Help:
      return CommandLineExit{kSuccess, help_text(command), ""};
    case Informational::Version:
      return CommandLineExit{kSuccess, version_line(command), ""};
  }
  return std::nullopt;
}

// "--output=" gives the option an empty value, which the parser would take
// for no value at all and then fill from the next argument, or report
// something else missing.
std::optional<CommandLineExit> empty_long_value(const CommandDefinition& command,
                                                const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "--") break;
    for (const OptionDefinition& option : command.options) {
      const std::string name = "--" + std::string(option.long_name);
      if (argument == name + "=") {
        return CommandLineExit{kUsageError, "",
                               usage_error(command, name + ": " + std::string(kEmptyValue))};
      }
    }
  }
  return std::nullopt;
}

// Where the parser puts an option's values: one string for an option
// given at most once (the parser refuses a second), a list for one that
// may be repeated.
struct OptionValues {
  std::string single;
  std::vector<std::string> all;
  CLI::Option* parsed = nullptr;
};

void add_option(CLI::App& parser, const OptionDefinition& option, OptionValues& values) {
  std::string names = "--" + std::string(option.long_name);
  if (option.short_name != 0) names = std::string{'-', option.short_name} + "," + names;
  const std::string help = option_help(option);
  switch (option.occurrences) {
    case Occurrences::AtMostOnce:
      values.parsed = parser.add_option(names, values.single, help)
                          ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
      break;
    case Occurrences::Repeatable:
      // One value each time, so that the paths after it stay paths.
      values.parsed = parser.add_option(names, values.all, help)
                          ->expected(1)
                          ->allow_extra_args(false)
                          ->take_all();
      break;
  }
  values.parsed->option_text("<" + std::string(option.value_name) + ">");
  if (option.choices.empty()) {
    values.parsed->check(kNonEmpty);
  } else {
    values.parsed->check(
        CLI::IsMember(std::vector<std::string>(option.choices.begin(), option.choices.end())));
  }
}

std::vector<std::string> given_values(const OptionValues& values) {
  if (values.parsed->count() == 0) return {};
  if (!values.all.empty()) return values.all;
  return {values.single};
}

std::variant<ParsedArguments, CommandLineExit> parse_with_parser(
    const CommandDefinition& command, const std::vector<std::string>& arguments) {
  CLI::App parser{std::string(command.about), std::string(command.name)};
  // CLI11 reads "/o:x" and "/h" as options in Windows builds; these command
  // lines have no such options, so there they are paths like any other.
  parser.allow_windows_style_options(false);
  ParsedArguments parsed;
  // Bound as options are: a second value of a single positional is then
  // an argument not expected.
  std::string single_positional;
  const std::string positional_name(command.positional.value_name);
  const std::string positional_help(command.positional.help);
  auto* positional = command.positional.one_or_more
                         ? parser.add_option(positional_name, parsed.positionals, positional_help)
                         : parser.add_option(positional_name, single_positional, positional_help);
  positional->required()->check(kNonEmpty);
  std::vector<OptionValues> values(command.options.size());
  for (std::size_t i = 0; i < command.options.size(); ++i) {
    add_option(parser, command.options[i], values[i]);
  }
  parser.set_version_flag("-V,--version", version_line(command));

  // CLI11 takes the arguments in reverse order, without the program name.
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    parser.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    return CommandLineExit{kSuccess, help_text(command), ""};
  } catch (const CLI::CallForVersion&) {
    return CommandLineExit{kSuccess, version_line(command), ""};
  } catch (const CLI::ParseError& error) {
    // The parser quotes arguments as given: shown, like paths, with U+FFFD
    // for what is not text.
    return CommandLineExit{kUsageError, "",
                           usage_error(command, platform::display_path(error.what()))};
  }
  if (!command.positional.one_or_more) parsed.positionals = {std::move(single_positional)};
  for (const OptionValues& option : values) parsed.option_values.push_back(given_values(option));
  return parsed;
}

}  // namespace

std::string usage_line(const CommandDefinition& command) {
  std::string line = "Usage: " + std::string(command.name) + " [OPTIONS] <" +
                     std::string(command.positional.value_name) + ">";
  if (command.positional.one_or_more) line += "...";
  return line;
}

std::string help_text(const CommandDefinition& command) {
  std::vector<std::pair<std::string, std::string>> rows;
  for (const OptionDefinition& option : command.options) {
    rows.emplace_back(option_label(option), option_help(option));
  }
  rows.emplace_back("-h, --help", "Print help");
  rows.emplace_back("-V, --version", "Print version");
  std::size_t width = 0;
  for (const auto& row : rows) width = std::max(width, row.first.size());

  std::string positional = "<" + std::string(command.positional.value_name) + ">";
  if (command.positional.one_or_more) positional += "...";
  std::string text = std::string(command.about) + "\n\n" + usage_line(command) + "\n\n";
  text += "Arguments:\n  " + positional + "  " + std::string(command.positional.help) + "\n\n";
  text += "Options:\n";
  for (const auto& [label, help] : rows) {
    text += "  " + label + std::string(width - label.size() + 2, ' ') + help + "\n";
  }
  if (!command.after_help.empty()) text += "\n" + std::string(command.after_help) + "\n";
  return text;
}

std::string version_line(const CommandDefinition& command) {
  return std::string(command.name) + " " + std::string(command.version) + "\n";
}

std::variant<ParsedArguments, CommandLineExit> parse_arguments(
    const CommandDefinition& command, const std::vector<std::string>& arguments) {
  // Running out of memory here is no fault of the command line: the
  // process ends as any other failure of its own.
  try {
    if (auto exit = informational_exit(command, arguments)) return *std::move(exit);
    if (auto exit = empty_long_value(command, arguments)) return *std::move(exit);
    return parse_with_parser(command, arguments);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  return CommandLineExit{command.failure_status, "", "Error: Ran out of memory\n"};
}

void print_exit(const CommandLineExit& exit) {
  (void)platform::write_to_stdout(exit.out);
  platform::write_to_stderr(exit.err);
}

}  // namespace common
