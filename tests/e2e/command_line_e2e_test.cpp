// The command line and the run's own failures, seen from outside.
#include "tool_runner.h"

namespace e2e {
namespace {

constexpr const char* kUsageTail =
    "\n\nUsage: daz-izezovivadezurid [OPTIONS] <JSON>\n\nFor more information, try '--help'.\n";

using CommandLine = ToolTest;

TEST_F(CommandLine, VersionAndHelpEndWithStatusZero) {
  const Outcome version = run({"-V"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "daz-izezovivadezurid dev-version\n");
  EXPECT_EQ(version.err, "");

  const Outcome help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(
      help.out.starts_with("Generate a .constructionInfo file from a case JSON metadata file\n"));
  EXPECT_EQ(help.err, "");
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
