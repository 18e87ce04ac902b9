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
      {{"--ignore", "tooth-duplicate", "a", "--ignore=no-such-rule", "b"},
       Format::Text,
       {"a", "b"},
       {"tooth-duplicate", "no-such-rule"},
       std::nullopt},
      {{"a", "--report", "out/report.txt", "--format=text"},
       Format::Text,
       {"a"},
       {},
       "out/report.txt"},
      {{"--report=r", "--ignore", "x", "--", "--ignore"}, Format::Text, {"--ignore"}, {"x"}, "r"},
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

}  // namespace
}  // namespace check
