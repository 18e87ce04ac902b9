// One table of command lines run over both programs, the tool and its
// checker, which share one command-line front end: help and version win
// wherever they stand and whatever else is wrong, the first of them;
// every usage error has one form; "--" makes the rest paths.
#include "tool_runner.h"

namespace e2e {
namespace {

constexpr std::string_view kToolHelp =
    "Generate a .constructionInfo file from a case JSON metadata file\n"
    "\n"
    "Usage: daz-izezovivadezurid [OPTIONS] <JSON>\n"
    "\n"
    "Arguments:\n"
    "  <JSON>  Path to the case JSON metadata file. Its `.pts` files must sit in the same "
    "directory\n"
    "\n"
    "Options:\n"
    "  -o, --output <FILE>  Output path (defaults to the JSON path with a `.constructionInfo` "
    "extension)\n"
    "  -h, --help           Print help\n"
    "  -V, --version        Print version\n";

constexpr std::string_view kCheckerHelp =
    "Check dental cases for what daz-izezovivadezurid refuses or silently turns into a wrong "
    "document\n"
    "\n"
    "Usage: daz-izezovivadezurid-check [OPTIONS] <PATH>...\n"
    "\n"
    "Arguments:\n"
    "  <PATH>...  A case JSON metadata file, or a folder: every *.json file below it\n"
    "\n"
    "Options:\n"
    "  --format <FORMAT>  Output format: text (one line per finding) or json [default: text]\n"
    "  --ignore <RULE>    Report nothing of this rule (may be given more than once)\n"
    "  --report <FILE>    Also write an HTML page of the findings and drawings here\n"
    "  -h, --help         Print help\n"
    "  -V, --version      Print version\n"
    "\n"
    "Exit status: 0 nothing found, 1 something found, 2 trouble (a bad command line, a PATH that "
    "does not read, a report not written).\n";

// What one program ends with.
enum class Ends {
  Help,        // the whole help on standard output, status 0
  Version,     // the version line on standard output, status 0
  UsageError,  // "error: <what>", the usage line, the pointer to --help; status 2
  Run,         // the command line taken: the run goes on to read `what`
};

struct Expected {
  Ends ends;
  std::string what;  // the usage error's first line, or the path the run reads
};

struct Program {
  const char* name;
  Outcome (*run)(const std::vector<std::string>&, const std::filesystem::path&);
  std::string_view help;
  std::string_view usage;
};

const Program kTool = {"daz-izezovivadezurid", run_tool, kToolHelp,
                       "Usage: daz-izezovivadezurid [OPTIONS] <JSON>"};
const Program kChecker = {"daz-izezovivadezurid-check", run_checker, kCheckerHelp,
                          "Usage: daz-izezovivadezurid-check [OPTIONS] <PATH>..."};

constexpr Expected kHelp{Ends::Help, ""};
constexpr Expected kVersion{Ends::Version, ""};
Expected usage_error(std::string what) { return {Ends::UsageError, std::move(what)}; }
Expected runs(std::string path) { return {Ends::Run, std::move(path)}; }

const struct {
  std::vector<std::string> args;
  Expected tool;
  Expected checker;
} kRows[] = {
    {{"-h"}, kHelp, kHelp},
    {{"--help"}, kHelp, kHelp},
    {{"-V"}, kVersion, kVersion},
    {{"--version"}, kVersion, kVersion},
    // The first of help and version wins, flags grouped or apart, and over
    // an option that lacks its value.
    {{"-hV"}, kHelp, kHelp},
    {{"-Vh"}, kVersion, kVersion},
    {{"-h", "-V"}, kHelp, kHelp},
    {{"--version", "--help"}, kVersion, kVersion},
    {{"-ho"}, kHelp, kHelp},
    {{"-Vo"}, kVersion, kVersion},
    {{"-hVo"}, kHelp, kHelp},
    {{"a.json", "-o"},
     usage_error("--output: 1 required TEXT missing"),
     usage_error("The following argument was not expected: -o")},
    {{"a.json", "-V", "-o"}, kVersion, kVersion},
    {{"a.json", "--report", "-h"}, kHelp, kHelp},
    // Whatever stands before them.
    {{"--bogus", "--help"}, kHelp, kHelp},
    {{"a.json", "b.json", "-x", "-V"}, kVersion, kVersion},
    {{"", "--format=", "-h"}, kHelp, kHelp},
    // After "--" every argument is a path.
    {{"--", "-h"}, runs("-h"), runs("-h")},
    {{"--", "--version"}, runs("--version"), runs("--version")},
    {{"--", ""},
     usage_error("JSON: a value may not be empty"),
     usage_error("PATH: a value may not be empty")},
    // Empty values.
    {{""},
     usage_error("JSON: a value may not be empty"),
     usage_error("PATH: a value may not be empty")},
    {{"a.json", "-o", ""},
     usage_error("--output: a value may not be empty"),
     usage_error("PATH: a value may not be empty")},
    {{"--output=", "a.json"},
     usage_error("--output: a value may not be empty"),
     usage_error("The following argument was not expected: --output=")},
    {{"--format=", "a.json"},
     usage_error("The following argument was not expected: --format="),
     usage_error("--format: a value may not be empty")},
    {{"--ignore=", "a.json"},
     usage_error("The following argument was not expected: --ignore="),
     usage_error("--ignore: a value may not be empty")},
    {{"a.json", "--ignore", ""},
     usage_error("The following arguments were not expected:  --ignore"),
     usage_error("--ignore: a value may not be empty")},
    {{"a.json", "--report", ""},
     usage_error("The following arguments were not expected:  --report"),
     usage_error("--report: a value may not be empty")},
    // Missing values and arguments.
    {{}, usage_error("JSON is required"), usage_error("PATH is required")},
    {{"a.json", "--output"},
     usage_error("--output: 1 required TEXT missing"),
     usage_error("The following argument was not expected: --output")},
    {{"a.json", "--report"},
     usage_error("The following argument was not expected: --report"),
     usage_error("--report: 1 required TEXT missing")},
    {{"a.json", "--ignore"},
     usage_error("The following argument was not expected: --ignore"),
     usage_error("--ignore: 1 required TEXT missing")},
    // An option's value is never a path, nor a path an option's value.
    {{"--ignore", "stl-open", "a.json"},
     usage_error("The following arguments were not expected: a.json --ignore"),
     runs("a.json")},
    // A rule name that is no rule's silences nothing: refused.
    {{"--ignore", "x", "a.json"},
     usage_error("The following arguments were not expected: a.json --ignore"),
     usage_error("--ignore: \"x\" is no rule of the checker (see the RULES of its manual page)")},
    {{"--ignore", "x", "--ignore", "y"},
     usage_error("The following arguments were not expected: y --ignore --ignore"),
     usage_error("PATH is required")},
    // Unknown options, values not taken, options given twice.
    {{"--bogus", "a.json"},
     usage_error("The following argument was not expected: --bogus"),
     usage_error("The following argument was not expected: --bogus")},
    {{"a.json", "--format", "xml"},
     usage_error("The following arguments were not expected: xml --format"),
     usage_error("--format: xml not in {text,json}")},
    {{"a.json", "-o", "x", "--output", "y"},
     usage_error("--output: At Most 1 required but received 2"),
     usage_error("The following arguments were not expected: --output -o")},
    {{"a.json", "--report", "r", "--report", "s"},
     usage_error("The following arguments were not expected: s --report r --report"),
     usage_error("--report: At Most 1 required but received 2")},
    {{"a.json", "b.json"},
     usage_error("The following argument was not expected: b.json"),
     runs("b.json")},
};

void expect_outcome(const Program& program, const Expected& expected, const Outcome& outcome) {
  SCOPED_TRACE(program.name);
  switch (expected.ends) {
    case Ends::Help:
      EXPECT_EQ(outcome.status, 0);
      EXPECT_EQ(outcome.out, program.help);
      EXPECT_EQ(outcome.err, "");
      return;
    case Ends::Version:
      EXPECT_EQ(outcome.status, 0);
      EXPECT_EQ(outcome.out, std::string(program.name) + " dev-version\n");
      EXPECT_EQ(outcome.err, "");
      return;
    case Ends::UsageError:
      EXPECT_EQ(outcome.status, 2);
      EXPECT_EQ(outcome.out, "");
      EXPECT_EQ(outcome.err, "error: " + expected.what + "\n\n" + std::string(program.usage) +
                                 "\n\nFor more information, try '--help'.\n");
      return;
    case Ends::Run:
      // The run's own words are its tests'; here only that it started
      // with the path and did not end as the command line's outcomes do.
      EXPECT_NE(outcome.status, 0);
      EXPECT_FALSE(outcome.err.starts_with("error: ")) << outcome.err;
      EXPECT_NE((outcome.out + outcome.err).find(expected.what), std::string::npos)
          << outcome.out << outcome.err;
      return;
  }
}

using BothCommandLines = ToolTest;

TEST_F(BothCommandLines, EndAsTheTableSays) {
  for (const auto& row : kRows) {
    SCOPED_TRACE(testing::PrintToString(row.args));
    expect_outcome(kTool, row.tool, kTool.run(row.args, dir_));
    expect_outcome(kChecker, row.checker, kChecker.run(row.args, dir_));
  }
}

}  // namespace
}  // namespace e2e
