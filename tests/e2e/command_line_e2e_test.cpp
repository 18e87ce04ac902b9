// The command line and the run's own failures, seen from outside.
#include "tool_runner.h"

namespace e2e {
namespace {

constexpr const char* kUsageTail =
    "\n\nUsage: daz-izezovivadezurid [OPTIONS] <JSON>\n\nFor more information, try '--help'.\n";

using CommandLine = ToolTest;

constexpr const char* kHelpHead =
    "Generate a .constructionInfo file from a case JSON metadata file\n";
constexpr const char* kVersionLine = "daz-izezovivadezurid dev-version\n";

// Help and version win wherever they stand and whatever else is wrong; the
// first of the two wins.
TEST_F(CommandLine, VersionAndHelpEndWithStatusZero) {
  const struct {
    std::vector<std::string> args;
    std::string out_starts_with;
  } cases[] = {
      {{"-V"}, kVersionLine},
      {{"--help"}, kHelpHead},
      {{"-V", "-o"}, kVersionLine},
      {{"--version", "--output"}, kVersionLine},
      {{"-V", ""}, kVersionLine},
      {{"-V", "--output="}, kVersionLine},
      {{"-h", "-o"}, kHelpHead},
      {{"-h", "-o", ""}, kHelpHead},
      {{"a.json", "-h", "-V"}, kHelpHead},
      {{"-V", "--help"}, kVersionLine},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const Outcome outcome = run(c.args);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_TRUE(outcome.out.starts_with(c.out_starts_with)) << outcome.out;
    if (c.out_starts_with == kVersionLine) {
      EXPECT_EQ(outcome.out, kVersionLine);
    }
    EXPECT_EQ(outcome.err, "");
  }
}

TEST_F(CommandLine, UsageErrorsEndWithStatusTwoAndNothingOnStandardOutput) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"a.json", "b.json"},
      {"--bogus", "a.json"},
      {"a.json", "-o"},
      {"a.json", "--output", "x", "--output", "y"},
      {""},
      {"a.json", "-o", ""},
  };
  for (const auto& args : cases) {
    const Outcome outcome = run(args);
    EXPECT_EQ(outcome.status, 2) << testing::PrintToString(args);
    EXPECT_EQ(outcome.out, "");
    EXPECT_TRUE(outcome.err.starts_with("error: ")) << outcome.err;
    EXPECT_TRUE(outcome.err.ends_with(kUsageTail)) << outcome.err;
  }
}

// An empty output path reads the same however it is given; the JSON given
// beside it is not reported missing.
TEST_F(CommandLine, AnEmptyOutputValueIsReportedAsSuch) {
  const std::vector<std::vector<std::string>> cases = {
      {"a.json", "-o", ""},
      {"a.json", "--output", ""},
      {"--output=", "a.json"},
      {"a.json", "--output="},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(testing::PrintToString(args));
    const Outcome outcome = run(args);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, std::string("error: --output: a value may not be empty") + kUsageTail);
  }
  EXPECT_FALSE(exists("a.constructionInfo"));
}

// An argument that is no text on this platform is shown as U+FFFD, as
// paths are, never as raw bytes.
TEST_F(CommandLine, UsageErrorsShowArgumentsAsText) {
  const Outcome outcome = run({"a.json", std::string(kNotText)});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(
      outcome.err,
      std::string("error: The following argument was not expected: \xEF\xBF\xBD") + kUsageTail);
}

// The command line has no Windows-style options, on Windows either: an
// argument that does not begin with "-" is the case file's path.
TEST_F(CommandLine, SlashArgumentsArePaths) {
  const struct {
    std::string arg;
    const SystemError& error;
  } cases[] = {
      {"/cases/case.json", kFolderNotFound},
      {"/o:x.xml", kFileNotFound},
      {"/h", kFileNotFound},
      {"/?", kInvalidName},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arg);
    const Outcome outcome = run({c.arg});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_TRUE(is_report(outcome.err, "Error: Failed to read file " + c.arg, c.error));
  }
  EXPECT_FALSE(exists("x.xml"));
}

using RunFailures = ToolTest;

TEST_F(RunFailures, APathWithoutFinalNameReadsNothing) {
  const Outcome outcome = run({".."});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err, "Error: file should have a name\n");
}

TEST_F(RunFailures, AMissingCaseFileReportsTheSystemError) {
  const Outcome outcome = run({"missing.json"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_TRUE(is_report(outcome.err, "Error: Failed to read file missing.json", kFileNotFound));
}

TEST_F(RunFailures, ADirectoryDoesNotReadAsACaseFile) {
  std::filesystem::create_directory(dir_ / "case.json");
  const Outcome outcome = run({"case.json"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_TRUE(is_report(outcome.err, "Error: Failed to read file case.json", kIsADirectory));
  EXPECT_FALSE(exists("case.constructionInfo"));
}

TEST_F(RunFailures, ACaseFileThatIsNotUtf8IsRejectedBeforeParsing) {
  for (const char* bytes : {"\xFF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xC3"}) {
    write("case.json", std::string("{\"machine\": \"") + bytes + "\"}");
    const Outcome outcome = run({"case.json"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err,
              "Error: Failed to read file case.json\n\nCaused by:\n"
              "    stream did not contain valid UTF-8\n")
        << testing::PrintToString(std::string(bytes));
  }
}

}  // namespace
}  // namespace e2e
