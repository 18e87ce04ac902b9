#include "check/command_line.h"

#include <array>
#include <string_view>

#include "check/rules.h"
#include "common/command_line_rules.h"
#include "common/exit_status.h"
#include "text/quoted_text.h"

namespace check {

namespace {

constexpr std::array<std::string_view, 2> kFormats = {"text", "json"};

// The options' places in kOptions, as the parsed values come back.
enum OptionIndex : std::size_t { kFormatIndex, kIgnoreIndex, kReportIndex };

constexpr std::array kOptions = {
    common::OptionDefinition{
        .short_name = 0,
        .long_name = "format",
        .value_name = "FORMAT",
        .help = "Output format: text (one line per finding) or json",
        .occurrences = common::Occurrences::AtMostOnce,
        .choices = kFormats,
        .default_value = "text",
    },
    common::OptionDefinition{
        .short_name = 0,
        .long_name = "ignore",
        .value_name = "RULE",
        .help = "Report nothing of this rule (may be given more than once)",
        .occurrences = common::Occurrences::Repeatable,
        .choices = {},
        .default_value = "",
    },
    common::OptionDefinition{
        .short_name = 0,
        .long_name = "report",
        .value_name = "FILE",
        .help = "Also write an HTML page of the findings and drawings here",
        .occurrences = common::Occurrences::AtMostOnce,
        .choices = {},
        .default_value = "",
    },
};
static_assert(kOptions.size() == kReportIndex + 1);

constexpr common::CommandDefinition kCommand = {
    .name = "daz-izezovivadezurid-check",
    .version = "dev-version",
    .about =
        "Check dental cases for what daz-izezovivadezurid refuses or silently turns into a "
        "wrong document",
    .positional =
        {
            .value_name = "PATH",
            .help = "A case JSON metadata file, or a folder: every *.json file below it",
            .one_or_more = true,
        },
    .options = kOptions,
    .after_help =
        "Exit status: 0 nothing found, 1 something found, 2 trouble (a bad command line, a PATH "
        "that does not read, a report not written).",
    // Status 1 says that something was found; a failure of the checker's
    // own must not read as that.
    .failure_status = common::kUsageError,
};

std::optional<std::string> last_value(std::vector<std::string>& values) {
  if (values.empty()) return std::nullopt;
  return std::move(values.back());
}

// A rule name of --ignore that is no rule's: a typo would otherwise
// silence nothing and go unnoticed.
std::optional<CheckCliExit> unknown_rule(const std::vector<std::string>& ignored) {
  for (const std::string& id : ignored) {
    if (rule_named(id)) continue;
    return CheckCliExit{common::kUsageError, "",
                        common::usage_error_text(
                            "--ignore: " + text::quote_for_message(id) +
                                " is no rule of the checker (see the RULES of its manual page)",
                            common::usage_line(kCommand))};
  }
  return std::nullopt;
}

}  // namespace

std::variant<CheckCli, CheckCliExit> parse_check_arguments(
    const std::vector<std::string>& arguments) {
  auto parsed = common::parse_arguments(kCommand, arguments);
  if (auto* exit = std::get_if<CheckCliExit>(&parsed)) return std::move(*exit);
  auto& given = std::get<common::ParsedArguments>(parsed);
  CheckCli cli;
  cli.format =
      last_value(given.option_values[kFormatIndex]) == "json" ? Format::Json : Format::Text;
  cli.paths = std::move(given.positionals);
  cli.ignored_rules = std::move(given.option_values[kIgnoreIndex]);
  cli.report_path = last_value(given.option_values[kReportIndex]);
  if (auto exit = unknown_rule(cli.ignored_rules)) return std::move(*exit);
  return cli;
}

}  // namespace check
