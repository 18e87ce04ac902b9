#include "check/command_line.h"

#include <gtest/gtest.h>

namespace check {
namespace {

using Args = std::vector<std::string>;

// The options that later work reads: rules to ignore, each time given and
// in order, and the one report file.
TEST(ParseCheckArguments, KeepsTheFormatTheIgnoredRulesAndTheReportFile) {
  const struct {
    Args args;
    Format format;
    Args paths;
    Args ignored;
    std::optional<std::string> report;
  } rows[] = {
      {{"a"}, Format::Text, {"a"}, {}, std::nullopt},
      {{"--format", "json", "a", "b"}, Format::Json, {"a", "b"}, {}, std::nullopt},
      {{"--ignore", "tooth-repeated", "a", "--ignore=stl-open", "b"},
       Format::Text,
       {"a", "b"},
       {"tooth-repeated", "stl-open"},
       std::nullopt},
      {{"a", "--report", "out/report.txt", "--format=text"},
       Format::Text,
       {"a"},
       {},
       "out/report.txt"},
      {{"--report=r", "--ignore", "pts-shared", "--", "--ignore"},
       Format::Text,
       {"--ignore"},
       {"pts-shared"},
       "r"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.args));
    const auto parsed = parse_check_arguments(row.args);
    ASSERT_TRUE(std::holds_alternative<CheckCli>(parsed)) << std::get<CheckCliExit>(parsed).err;
    const CheckCli& cli = std::get<CheckCli>(parsed);
    EXPECT_EQ(cli.format, row.format);
    EXPECT_EQ(cli.paths, row.paths);
    EXPECT_EQ(cli.ignored_rules, row.ignored);
    EXPECT_EQ(cli.report_path, row.report);
  }
}

// A typo in a rule name would silence nothing unnoticed: refused, as a
// bad command line is, before any case is read.
TEST(ParseCheckArguments, RefusesARuleNameThatIsNoRules) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--ignore", "tooth-duplicate", "a"},
           {"--ignore=stl-open", "--ignore=STL-OPEN", "a"},
       }) {
    SCOPED_TRACE(testing::PrintToString(args));
    const auto parsed = parse_check_arguments(args);
    ASSERT_TRUE(std::holds_alternative<CheckCliExit>(parsed));
    const CheckCliExit& exit = std::get<CheckCliExit>(parsed);
    EXPECT_EQ(exit.status, 2);
    EXPECT_EQ(exit.out, "");
    EXPECT_TRUE(exit.err.starts_with("error: --ignore: \"")) << exit.err;
    EXPECT_NE(exit.err.find("\" is no rule of the checker"), std::string::npos) << exit.err;
  }
}

}  // namespace
}  // namespace check
