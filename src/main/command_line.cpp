#include "main/command_line.h"

#include <array>
#include <cstdlib>

#include "common/exit_status.h"

namespace app {

namespace {

constexpr std::array kOptions = {
    common::OptionDefinition{
        .short_name = 'o',
        .long_name = "output",
        .value_name = "FILE",
        .help = "Output path (defaults to the JSON path with a `.constructionInfo` extension)",
        .occurrences = common::Occurrences::AtMostOnce,
        .choices = {},
        .default_value = "",
    },
};

constexpr common::CommandDefinition kCommand = {
    .name = "daz-izezovivadezurid",
    .version = "dev-version",
    .about = "Generate a .constructionInfo file from a case JSON metadata file",
    .positional =
        {
            .value_name = "JSON",
            .help = "Path to the case JSON metadata file. Its `.pts` files must sit in the same "
                    "directory",
        },
    .options = kOptions,
    .after_help = "",
    .failure_status = common::kRunError,
};

}  // namespace

std::variant<Cli, CommandLineExit> parse_arguments(const std::vector<std::string>& arguments) {
  auto parsed = common::parse_arguments(kCommand, arguments);
  if (auto* exit = std::get_if<CommandLineExit>(&parsed)) return std::move(*exit);
  auto& given = std::get<common::ParsedArguments>(parsed);
  Cli cli{.json_path = std::move(given.positionals.front()), .output = std::nullopt};
  if (!given.option_values[0].empty()) cli.output = std::move(given.option_values[0].back());
  return cli;
}

Cli parse_command_line(const std::vector<std::string>& arguments) {
  auto parsed = parse_arguments(arguments);
  if (auto* cli = std::get_if<Cli>(&parsed)) return std::move(*cli);
  const auto& exit = std::get<CommandLineExit>(parsed);
  common::print_exit(exit);
  std::exit(exit.status);
}

}  // namespace app
