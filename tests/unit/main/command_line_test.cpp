#include "main/command_line.h"

#include <gtest/gtest.h>

namespace app {
namespace {

using Args = std::vector<std::string>;

TEST(ParseArguments, AcceptsEveryFormOfTheOutputOption) {
  const struct {
    Args args;
    std::string json;
    std::optional<std::string> output;
  } cases[] = {
      {{"case.json"}, "case.json", std::nullopt},
      {{"-o", "out.xml", "case.json"}, "case.json", "out.xml"},
      {{"case.json", "--output=out.xml"}, "case.json", "out.xml"},
      {{"case.json", "--output", "out.xml"}, "case.json", "out.xml"},
      {{"-oout.xml", "case.json"}, "case.json", "out.xml"},
      {{"missing/none.json"}, "missing/none.json", std::nullopt},
      // No Windows-style options on any platform: these are paths.
      {{"/cases/case.json"}, "/cases/case.json", std::nullopt},
      {{"/o:x.xml"}, "/o:x.xml", std::nullopt},
      {{"/h"}, "/h", std::nullopt},
      {{"/?"}, "/?", std::nullopt},
      {{"--", "-h"}, "-h", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto parsed = parse_arguments(c.args);
    ASSERT_TRUE(std::holds_alternative<Cli>(parsed)) << testing::PrintToString(c.args);
    EXPECT_EQ(std::get<Cli>(parsed).json_path, c.json);
    EXPECT_EQ(std::get<Cli>(parsed).output, c.output);
  }
}

TEST(ParseArguments, HelpAndVersionGoToStandardOutputWithStatusZero) {
  const struct {
    Args args;
    std::string starts_with;
  } cases[] = {
      {{"-V"}, "daz-izezovivadezurid dev-version\n"},
      {{"--version"}, "daz-izezovivadezurid dev-version\n"},
      {{"--version", "a.json", "b.json"}, "daz-izezovivadezurid dev-version\n"},
      {{"-h"}, "Generate a .constructionInfo file from a case JSON metadata file\n"},
      {{"case.json", "--help"},
       "Generate a .constructionInfo file from a case JSON metadata file\n"},
      // Whatever else is wrong on the line, help and version still win.
      {{"-V", "-o"}, "daz-izezovivadezurid dev-version\n"},
      {{"--version", "--output"}, "daz-izezovivadezurid dev-version\n"},
      {{"-V", ""}, "daz-izezovivadezurid dev-version\n"},
      {{"-V", "--output="}, "daz-izezovivadezurid dev-version\n"},
      {{"a.json", "b.json", "--bogus", "-V"}, "daz-izezovivadezurid dev-version\n"},
      {{"-h", "-o"}, "Generate a .constructionInfo file from a case JSON metadata file\n"},
      {{"-h", "-o", ""}, "Generate a .constructionInfo file from a case JSON metadata file\n"},
      // Of the two, the first given wins.
      {{"-h", "-V"}, "Generate a .constructionInfo file from a case JSON metadata file\n"},
      {{"--version", "--help"}, "daz-izezovivadezurid dev-version\n"},
  };
  for (const auto& c : cases) {
    const auto parsed = parse_arguments(c.args);
    ASSERT_TRUE(std::holds_alternative<CommandLineExit>(parsed)) << testing::PrintToString(c.args);
    const auto& exit = std::get<CommandLineExit>(parsed);
    EXPECT_EQ(exit.status, 0);
    EXPECT_TRUE(exit.out.starts_with(c.starts_with)) << exit.out;
    EXPECT_EQ(exit.err, "");
  }
  const auto help = std::get<CommandLineExit>(parse_arguments({"--help"})).out;
  EXPECT_NE(help.find("Usage: daz-izezovivadezurid [OPTIONS] <JSON>"), std::string::npos);
  EXPECT_NE(help.find("-o, --output <FILE>"), std::string::npos);
}

TEST(ParseArguments, RejectsMalformedCommandLinesWithStatusTwo) {
  const Args cases[] = {
      {},
      {"a.json", "b.json"},
      {"--bogus", "a.json"},
      {"-x", "a.json"},
      {"a.json", "-o"},
      {"a.json", "--output"},
      {"a.json", "--output", "x", "--output", "y"},
      {"a.json", "-o", "x", "-o", "y"},
      {""},
      {"a.json", "-o", ""},
      {"a.json", "--output="},
  };
  for (const auto& args : cases) {
    const auto parsed = parse_arguments(args);
    ASSERT_TRUE(std::holds_alternative<CommandLineExit>(parsed)) << testing::PrintToString(args);
    const auto& exit = std::get<CommandLineExit>(parsed);
    EXPECT_EQ(exit.status, 2) << testing::PrintToString(args);
    EXPECT_EQ(exit.out, "");
    EXPECT_TRUE(exit.err.starts_with("error: ")) << exit.err;
    EXPECT_TRUE(
        exit.err.ends_with("\n\nUsage: daz-izezovivadezurid [OPTIONS] <JSON>\n\nFor more "
                           "information, try '--help'.\n"))
        << exit.err;
  }
}

}  // namespace
}  // namespace app
