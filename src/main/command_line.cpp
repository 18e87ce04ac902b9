#include "main/command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdlib>
#include <optional>

#include "common/command_line_rules.h"
#include "common/exit_status.h"
#include "platform/console.h"
#include "platform/path_text.h"

namespace app {

namespace {

constexpr std::string_view kName = "daz-izezovivadezurid";
constexpr std::string_view kVersionLine = "daz-izezovivadezurid dev-version\n";
constexpr std::string_view kAbout =
    "Generate a .constructionInfo file from a case JSON metadata file";
constexpr std::string_view kUsage = "Usage: daz-izezovivadezurid [OPTIONS] <JSON>";
constexpr std::string_view kJsonHelp =
    "Path to the case JSON metadata file. Its `.pts` files must sit in the same directory";
constexpr std::string_view kOutputHelp =
    "Output path (defaults to the JSON path with a `.constructionInfo` extension)";

std::string help_text() {
  std::string text;
  text += std::string(kAbout) + "\n\n" + std::string(kUsage) + "\n\n";
  text += "Arguments:\n";
  text += "  <JSON>  " + std::string(kJsonHelp) + "\n\n";
  text += "Options:\n";
  text += "  -o, --output <FILE>  " + std::string(kOutputHelp) + "\n";
  text += "  -h, --help           Print help\n";
  text += "  -V, --version        Print version\n";
  return text;
}

constexpr std::string_view kEmptyValue = "a value may not be empty";

std::string usage_error(std::string_view what) { return common::usage_error_text(what, kUsage); }

std::optional<CommandLineExit> informational_exit(const std::vector<std::string>& arguments) {
  const auto asked = common::first_informational(arguments);
  if (!asked) return std::nullopt;
  switch (*asked) {
    case common::Informational::Help:
      return CommandLineExit{common::kSuccess, help_text(), ""};
    case common::Informational::Version:
      return CommandLineExit{common::kSuccess, std::string(kVersionLine), ""};
  }
  return std::nullopt;
}

// "--output=" gives the option an empty value, which the parser would
// take for no value at all and then report something else missing.
std::optional<CommandLineExit> empty_output_value(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "--") break;
    if (argument == "--output=") {
      return CommandLineExit{common::kUsageError, "",
                             usage_error("--output: " + std::string(kEmptyValue))};
    }
  }
  return std::nullopt;
}

// A path value may not be empty.
const CLI::Validator kNonEmpty(
    [](std::string& value) { return value.empty() ? std::string(kEmptyValue) : ""; }, "",
    "non-empty");

}  // namespace

std::variant<Cli, CommandLineExit> parse_arguments(const std::vector<std::string>& arguments) {
  if (auto exit = informational_exit(arguments)) return *std::move(exit);
  if (auto exit = empty_output_value(arguments)) return *std::move(exit);

  CLI::App parser{std::string(kAbout), std::string(kName)};
  // CLI11 reads "/o:x" and "/h" as options in Windows builds; this command
  // line has no such options, so there they are paths like any other.
  parser.allow_windows_style_options(false);
  Cli cli;
  std::string output;
  parser.add_option("JSON", cli.json_path, std::string(kJsonHelp))->required()->check(kNonEmpty);
  auto* output_option = parser.add_option("-o,--output", output, std::string(kOutputHelp))
                            ->option_text("<FILE>")
                            ->check(kNonEmpty)
                            ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
  parser.set_version_flag("-V,--version", std::string(kVersionLine));

  // CLI11 takes the arguments in reverse order, without the program name.
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    parser.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    return CommandLineExit{common::kSuccess, help_text(), ""};
  } catch (const CLI::CallForVersion&) {
    return CommandLineExit{common::kSuccess, std::string(kVersionLine), ""};
  } catch (const CLI::ParseError& error) {
    // The parser quotes arguments as given: shown, like paths, with U+FFFD
    // for what is not text.
    return CommandLineExit{common::kUsageError, "",
                           usage_error(platform::display_path(error.what()))};
  }
  if (output_option->count() > 0) cli.output = output;
  return cli;
}

Cli parse_command_line(const std::vector<std::string>& arguments) {
  auto parsed = parse_arguments(arguments);
  if (auto* cli = std::get_if<Cli>(&parsed)) return std::move(*cli);
  const auto& exit = std::get<CommandLineExit>(parsed);
  (void)platform::write_to_stdout(exit.out);
  platform::write_to_stderr(exit.err);
  std::exit(exit.status);
}

}  // namespace app
