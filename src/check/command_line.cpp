#include "check/command_line.h"

#include <CLI/CLI.hpp>
#include <optional>

#include "common/command_line_rules.h"
#include "common/exit_status.h"
#include "platform/path_text.h"

namespace check {

namespace {

constexpr std::string_view kName = "daz-izezovivadezurid-check";
constexpr std::string_view kVersionLine = "daz-izezovivadezurid-check dev-version\n";
constexpr std::string_view kAbout =
    "Check dental cases for what daz-izezovivadezurid refuses or silently turns into a wrong "
    "document";
constexpr std::string_view kUsage = "Usage: daz-izezovivadezurid-check [OPTIONS] <PATH>...";
constexpr std::string_view kPathHelp =
    "A case JSON metadata file, or a folder: every *.json file below it";
constexpr std::string_view kFormatHelp = "Output format: text (one line per finding) or json";

std::string help_text() {
  std::string text;
  text += std::string(kAbout) + "\n\n" + std::string(kUsage) + "\n\n";
  text += "Arguments:\n";
  text += "  <PATH>...  " + std::string(kPathHelp) + "\n\n";
  text += "Options:\n";
  text += "  --format <FORMAT>  " + std::string(kFormatHelp) + " [default: text]\n";
  text += "  -h, --help         Print help\n";
  text += "  -V, --version      Print version\n\n";
  text += "Exit status: 0 nothing found, 1 something found, 2 bad command line.\n";
  return text;
}

std::string usage_error(std::string_view what) { return common::usage_error_text(what, kUsage); }

std::optional<CheckCliExit> informational_exit(const std::vector<std::string>& arguments) {
  const auto asked = common::first_informational(arguments);
  if (!asked) return std::nullopt;
  switch (*asked) {
    case common::Informational::Help:
      return CheckCliExit{common::kSuccess, help_text(), ""};
    case common::Informational::Version:
      return CheckCliExit{common::kSuccess, std::string(kVersionLine), ""};
  }
  return std::nullopt;
}

const CLI::Validator kNonEmpty(
    [](std::string& value) { return value.empty() ? std::string("a value may not be empty") : ""; },
    "", "non-empty");

}  // namespace

std::variant<CheckCli, CheckCliExit> parse_check_arguments(
    const std::vector<std::string>& arguments) {
  if (auto exit = informational_exit(arguments)) return *std::move(exit);

  CLI::App parser{std::string(kAbout), std::string(kName)};
  parser.allow_windows_style_options(false);
  CheckCli cli;
  std::string format = "text";
  parser.add_option("--format", format, std::string(kFormatHelp))
      ->option_text("<FORMAT>")
      ->check(CLI::IsMember({"text", "json"}))
      ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
  parser.add_option("PATH", cli.paths, std::string(kPathHelp))->required()->check(kNonEmpty);

  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    parser.parse(reversed);
  } catch (const CLI::ParseError& error) {
    return CheckCliExit{common::kUsageError, "", usage_error(platform::display_path(error.what()))};
  }
  cli.format = format == "json" ? Format::Json : Format::Text;
  return cli;
}

}  // namespace check
