#include "common/command_line.h"

#include <gtest/gtest.h>

#include <array>

#include "common/command_line_rules.h"

namespace common {
namespace {

using Args = std::vector<std::string>;

// A command with every kind of option: a short one, one with choices and a
// default, and one that may be repeated; one or more paths.
constexpr std::array<std::string_view, 2> kColours = {"red", "blue"};
constexpr std::array kOptions = {
    OptionDefinition{.short_name = 'o',
                     .long_name = "out",
                     .value_name = "FILE",
                     .help = "Where to write",
                     .occurrences = Occurrences::AtMostOnce,
                     .choices = {},
                     .default_value = ""},
    OptionDefinition{.short_name = 0,
                     .long_name = "colour",
                     .value_name = "COLOUR",
                     .help = "red or blue",
                     .occurrences = Occurrences::AtMostOnce,
                     .choices = kColours,
                     .default_value = "red"},
    OptionDefinition{.short_name = 0,
                     .long_name = "skip",
                     .value_name = "RULE",
                     .help = "Skip a rule",
                     .occurrences = Occurrences::Repeatable,
                     .choices = {},
                     .default_value = ""},
};
constexpr CommandDefinition kCommand = {
    .name = "demo",
    .version = "1.0",
    .about = "Does things",
    .positional = {.value_name = "PATH", .help = "What to do it to", .one_or_more = true},
    .options = kOptions,
    .after_help = "Exit status: 0 or 2.",
    .failure_status = 1,
};

constexpr std::string_view kHelp =
    "Does things\n"
    "\n"
    "Usage: demo [OPTIONS] <PATH>...\n"
    "\n"
    "Arguments:\n"
    "  <PATH>...  What to do it to\n"
    "\n"
    "Options:\n"
    "  -o, --out <FILE>   Where to write\n"
    "  --colour <COLOUR>  red or blue [default: red]\n"
    "  --skip <RULE>      Skip a rule\n"
    "  -h, --help         Print help\n"
    "  -V, --version      Print version\n"
    "\n"
    "Exit status: 0 or 2.\n";

constexpr std::string_view kVersion = "demo 1.0\n";

TEST(CommandLine, HelpAndVersionWinWhereverTheyStandTheFirstOfThem) {
  const struct {
    Args args;
    std::string_view out;
  } rows[] = {
      {{"-h"}, kHelp},
      {{"--version"}, kVersion},
      {{"-hV"}, kHelp},
      {{"-Vh"}, kVersion},
      {{"-ho"}, kHelp},
      {{"-Vo"}, kVersion},
      {{"-hVo"}, kHelp},
      {{"-xV"}, kVersion},
      {{"--bogus", "--colour", "green", "-h"}, kHelp},
      {{"--skip", "", "--out=", "-V", "-h"}, kVersion},
      {{"-o", "-h"}, kHelp},
      {{"a", "--help", "--version"}, kHelp},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.args));
    const auto parsed = parse_arguments(kCommand, row.args);
    ASSERT_TRUE(std::holds_alternative<CommandLineExit>(parsed));
    const auto& exit = std::get<CommandLineExit>(parsed);
    EXPECT_EQ(exit.status, 0);
    EXPECT_EQ(exit.out, row.out);
    EXPECT_EQ(exit.err, "");
  }
}

TEST(CommandLine, GivesThePathsAndEachOptionsValues) {
  const struct {
    Args args;
    ParsedArguments parsed;
  } rows[] = {
      {{"a"}, {{"a"}, {{}, {}, {}}}},
      {{"a", "b", "-o", "x"}, {{"a", "b"}, {{"x"}, {}, {}}}},
      {{"-ox", "a"}, {{"a"}, {{"x"}, {}, {}}}},
      // A value glued to a short option is a value, however it reads.
      {{"-oh", "a"}, {{"a"}, {{"h"}, {}, {}}}},
      {{"--out=x", "--colour", "blue", "a"}, {{"a"}, {{"x"}, {"blue"}, {}}}},
      // One value each time: the paths after it stay paths.
      {{"--skip", "r1", "a", "b", "--skip=r2", "c"}, {{"a", "b", "c"}, {{}, {}, {"r1", "r2"}}}},
      {{"--", "-h", "--out="}, {{"-h", "--out="}, {{}, {}, {}}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.args));
    const auto parsed = parse_arguments(kCommand, row.args);
    ASSERT_TRUE(std::holds_alternative<ParsedArguments>(parsed))
        << std::get<CommandLineExit>(parsed).err;
    EXPECT_EQ(std::get<ParsedArguments>(parsed).positionals, row.parsed.positionals);
    EXPECT_EQ(std::get<ParsedArguments>(parsed).option_values, row.parsed.option_values);
  }
}

TEST(CommandLine, RefusesWhatItDoesNotTakeWithStatusTwo) {
  const struct {
    Args args;
    std::string_view what;
  } rows[] = {
      {{}, "PATH is required"},
      {{""}, "PATH: a value may not be empty"},
      {{"a", "-o", ""}, "--out: a value may not be empty"},
      {{"a", "--out="}, "--out: a value may not be empty"},
      // Not the path after it taken for the value.
      {{"--out=", "a"}, "--out: a value may not be empty"},
      {{"--skip=", "a"}, "--skip: a value may not be empty"},
      {{"a", "--skip", ""}, "--skip: a value may not be empty"},
      {{"a", "-o", "x", "--out", "y"}, "--out: At Most 1 required but received 2"},
      {{"a", "--colour", "green"}, "--colour: green not in {red,blue}"},
      {{"a", "--bogus"}, "The following argument was not expected: --bogus"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.args));
    const auto parsed = parse_arguments(kCommand, row.args);
    ASSERT_TRUE(std::holds_alternative<CommandLineExit>(parsed));
    const auto& exit = std::get<CommandLineExit>(parsed);
    EXPECT_EQ(exit.status, 2);
    EXPECT_EQ(exit.out, "");
    EXPECT_EQ(exit.err, "error: " + std::string(row.what) +
                            "\n\nUsage: demo [OPTIONS] <PATH>...\n\n"
                            "For more information, try '--help'.\n");
  }
}

TEST(FirstInformational, ReadsGroupsOfShortFlagsUpToALetterThatTakesAValue) {
  const struct {
    Args args;
    std::optional<Informational> asked;
  } rows[] = {
      {{}, std::nullopt},
      {{"-hV"}, Informational::Help},
      {{"-Vh"}, Informational::Version},
      {{"-hVo"}, Informational::Help},
      {{"-oh"}, std::nullopt},
      {{"-oV", "-h"}, Informational::Help},
      {{"-", "h"}, std::nullopt},
      {{"--hV"}, std::nullopt},
      {{"--", "-h"}, std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.args));
    EXPECT_EQ(first_informational(row.args, "o"), row.asked);
  }
}

}  // namespace
}  // namespace common
