// The case checker run as a subprocess: its command line, its report in
// both forms, its exit statuses, and the tool's own messages for every case
// the tool refuses.
#include <regex>

#include "case_file_messages.h"
#include "clean_mesh.h"
#include "tool_runner.h"

namespace e2e {
namespace {

using Checker = ToolTest;

constexpr std::string_view kUsage = "Usage: daz-izezovivadezurid-check [OPTIONS] <PATH>...";

TEST_F(Checker, RefusesABadCommandLineWithStatusTwo) {
  const struct {
    std::vector<std::string> arguments;
    std::string error;
  } rows[] = {
      {{}, "error: PATH is required"},
      {{"--format", "xml", "case.json"}, "error: --format: xml not in {text,json}"},
      {{"--frmat", "json", "case.json"}, "error: The following argument was not expected: --frmat"},
      {{"--ignore", "stl-open", "--ignore", "stl-opne", "case.json"},
       "error: --ignore: \"stl-opne\" is no rule of the checker (see the RULES of its manual "
       "page)"},
  };
  for (const auto& row : rows) {
    const Outcome outcome = run_checker(row.arguments, dir_);
    EXPECT_EQ(outcome.status, 2) << row.error;
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, row.error + "\n\n" + std::string(kUsage) +
                               "\n\nFor more information, try '--help'.\n");
  }
}

TEST_F(Checker, PrintsHelpAndVersion) {
  const Outcome help = run_checker({"--help"}, dir_);
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find(kUsage), std::string::npos) << help.out;
  EXPECT_EQ(help.err, "");
  const Outcome version = run_checker({"-V"}, dir_);
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "daz-izezovivadezurid-check dev-version\n");
}

TEST_F(Checker, FindsNothingInTheExamples) {
  const Outcome outcome = run_checker({DAZ_EXAMPLES_DIR}, dir_);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out, "3 cases checked: 0 errors, 0 warnings\n");
  EXPECT_EQ(outcome.err, "");
}

constexpr std::string_view kCase = R"({
  "machine": "VHF_K5",
  "material": "ZIRCONIUM",
  "material_brand_reference": "zige",
  "products": [
    {
      "product_type": "Crown",
      "tooth_iso_number": [11],
      "bounding_box": [10, 0, 1.5, 0, 10, 9.5],
      "stl": "a.stl",
      "pts": "a.pts"
    }
  ]
}
)";

TEST_F(Checker, ReportsEachFindingOnALineOfItsOwnWithStatusOne) {
  write("case.json", kCase);
  write("a.stl", testing_support::clean_mesh_stl());
  write("a.pts", "BEGIN_M\n1 2 3\n4;5;6\n7 8 9\n2 3 4\nEND_M\n");
  // A second case naming the same margin line file: the file's lines are
  // reported with each case.
  const std::string reversed = "[10, 0, 1.5, 0,";
  write("ok.json", std::string(kCase).replace(std::string(kCase).find(reversed), reversed.size(),
                                              "[0, 0, 1.5, 10,"));
  const Outcome outcome = run_checker({"."}, dir_);
  EXPECT_EQ(outcome.status, 1);
  const std::string pts = native("./a.pts");
  EXPECT_EQ(
      outcome.out,
      native("./case.json") +
          ":9:24: warning: bounding_box of product 1: the minimum x 10 is above the maximum 0 "
          "(the order is min x, y, z, then max x, y, z) [bounding-box-order]\n" +
          pts +
          ":3:2: warning: \";\" between the numbers: the line is dropped (part the three "
          "numbers with spaces) [margin-line-dropped]\n" +
          pts +
          ":3:2: warning: \";\" between the numbers: the line is dropped (part the three "
          "numbers with spaces) [margin-line-dropped]\n"
          "2 cases checked: 0 errors, 3 warnings\n");
  EXPECT_EQ(outcome.err, "");
}

TEST_F(Checker, GivesTheSameFindingsAsJson) {
  write("case.json", kCase);
  write("a.stl", testing_support::clean_mesh_stl());
  write("a.pts", "BEGIN_M\n1 2 3\n4 5 6\n7 8 9\nEND_M\n");
  write("bad.json", "{\"machine\": 1}");
  const Outcome outcome = run_checker({"--format", "json", "case.json", "bad.json"}, dir_);
  EXPECT_EQ(outcome.status, 1);
  const std::string head =
      "{\n  \"cases\": 2,\n  \"errors\": 1,\n  \"warnings\": 1,\n  \"findings\": [\n"
      "    {\"path\": \"case.json\", \"line\": 9, \"column\": 24, \"severity\": \"warning\", "
      "\"rule\": \"bounding-box-order\", \"message\": \"bounding_box of product 1: the minimum "
      "x 10 is above the maximum 0 (the order is min x, y, z, then max x, y, z)\", "
      "\"product\": 0},\n"
      "    {\"path\": \"bad.json\", \"line\": 1, \"column\": 13, \"severity\": \"error\", "
      "\"rule\": \"tool-error\", \"message\": \"Failed to parse JSON metadata file 'bad.json': ";
  EXPECT_TRUE(outcome.out.starts_with(head)) << outcome.out;
  EXPECT_TRUE(outcome.out.ends_with("\"}\n  ]\n}\n")) << outcome.out;
  EXPECT_EQ(outcome.err, "");
}

// Each geometric mistake planted in a consistent case (the fixtures'
// "clean" and "ascii-stl" are two such cases), found by the program with
// its rule and place; on Windows the same findings from the .exe.
struct GeometryFinding {
  std::string path;  // below the fixtures' folder, with "/"
  std::string rest;  // after "PATH:"
};

const std::vector<GeometryFinding>& geometry_findings() {
  static const std::vector<GeometryFinding> findings = {
      {"box-mismatch/case.json",
       "10:45: warning: bounding_box of product 1: the maximum z 10.5 differs from the mesh's 9 "
       "(\"11.stl\") by more than 0.05 mm: the document carries the Height 10.5 from the box, "
       "and the blank is chosen by it [bounding-box-stl]"},
      {"cut-binary-stl/11.stl",
       "1:1: error: the STL of product 1 could not be read: a binary STL whose header counts "
       "1120 facets, but whose 54850 bytes hold 1095 and 16 bytes more [stl-unreadable]"},
      {"inside-out/21.stl",
       "1:1: warning: the mesh of product 2 is inside out (volume -255.939 mm³): its faces "
       "point inward [stl-inside-out]"},
      {"micrometres/11.pts",
       "2:1: warning: the margin of product 1 is 7994.6 mm across, which no tooth is (1 to 40 "
       "mm): likely in micrometres (1000 times too large) [margin-line-units]"},
      {"micrometres/11.pts",
       "5:1: warning: 32 of the 32 margin points of product 1 lie farther than 0.05 mm from its "
       "STL \"11.stl\"; the farthest, point 4, by 4813.932 mm [margin-line-off-mesh]"},
      {"nan-in-pts/11.pts",
       "7:1: error: point 6 of the margin of product 1 has y NaN: the document gets it as "
       "written, and no CAM reads it as a coordinate [coordinate-not-finite]"},
      {"open-mesh/11.stl",
       "1:1: warning: the mesh of product 1 has 3 open edges (holes): a restoration's mesh is "
       "closed [stl-open]"},
      {"spike/21.pts",
       "19:1: warning: point 18 of the margin of product 2 jumps 50019.954 mm from its "
       "neighbours, which lie about 0.736 mm apart elsewhere: a mistyped coordinate? "
       "[margin-line-spike]"},
      {"spike/21.pts",
       "19:1: warning: 1 of the 32 margin points of product 2 lies farther than 0.05 mm from "
       "its STL \"21.stl\"; the farthest, point 18, by 50013 mm [margin-line-off-mesh]"},
      {"swapped-pts/21.pts",
       "2:1: warning: 32 of the 32 margin points of product 1 lie farther than 0.05 mm from its "
       "STL \"11.stl\"; the farthest, point 1, by 8 mm: it fits the STL of product 2: files "
       "swapped? [margin-line-off-mesh]"},
      {"swapped-pts/11.pts",
       "17:1: warning: 32 of the 32 margin points of product 2 lie farther than 0.05 mm from "
       "its STL \"21.stl\"; the farthest, point 16, by 9 mm: it fits the STL of product 1: "
       "files swapped? [margin-line-off-mesh]"},
  };
  return findings;
}

TEST_F(Checker, FindsEachGeometricMistakeWithItsRuleAndPlace) {
  copy_fixture("geometry");
  const Outcome outcome = run_checker({"geometry"}, dir_);
  std::string expected;
  for (const GeometryFinding& finding : geometry_findings())
    expected += native("geometry/" + finding.path) + ":" + finding.rest + "\n";
  expected += "10 cases checked: 2 errors, 9 warnings\n";
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, expected);
  EXPECT_EQ(outcome.err, "");
}

TEST_F(Checker, IgnoresTheRulesItIsToldTo) {
  copy_fixture("geometry");
  const Outcome outcome = run_checker(
      {"--ignore", "margin-line-off-mesh", "geometry", "--ignore=stl-unreadable"}, dir_);
  std::string expected;
  for (const GeometryFinding& finding : geometry_findings()) {
    if (finding.rest.ends_with("[margin-line-off-mesh]") ||
        finding.rest.ends_with("[stl-unreadable]"))
      continue;
    expected += native("geometry/" + finding.path) + ":" + finding.rest + "\n";
  }
  expected += "10 cases checked: 1 error, 5 warnings\n";
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, expected);
  EXPECT_EQ(outcome.err, "");
}

// The tool's report on one line: the message, then each cause after ": ",
// a cause's further lines unindented.
std::string flattened(const std::string& report) {
  constexpr std::string_view kHead = "Error: ";
  constexpr std::string_view kCauses = "\n\nCaused by:\n";
  std::string text = report.substr(kHead.size());
  if (!text.empty() && text.back() == '\n') text.pop_back();
  const auto causes_at = text.find(kCauses);
  if (causes_at == std::string::npos) return text;
  std::string out = text.substr(0, causes_at);
  std::string rest = text.substr(causes_at + kCauses.size());
  static const std::regex numbered("^ *[0-9]+: ");
  const bool is_numbered = std::regex_search(rest, numbered);
  const std::size_t indent = is_numbered ? 7 : 4;
  std::size_t start = 0;
  bool first = true;
  while (start <= rest.size()) {
    const auto end = rest.find('\n', start);
    const std::string line = rest.substr(start, end == std::string::npos ? end : end - start);
    const bool new_cause = first || (is_numbered && std::regex_search(line, numbered));
    out += (new_cause ? ": " : "\n") + line.substr(std::min(indent, line.size()));
    first = false;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return out;
}

// A message as the text report shows it: a cause's further lines joined
// on its line (after a colon with a space, else after "; "), any other
// control byte as \xNN, so that a finding stays on its line.
std::string on_one_line(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (text[i] == '\n') {
      while (i + 1 < text.size() && text[i + 1] == ' ') ++i;
      out += !out.empty() && out.back() == ':' ? " " : "; ";
      continue;
    }
    if (byte >= 0x20 && byte != 0x7F) {
      out += text[i];
      continue;
    }
    constexpr std::string_view kHex = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
  }
  return out;
}

// Every case the tool refuses: the checker reports the tool's message.
TEST_F(Checker, ReportsTheToolsOwnMessageForEveryCaseTheToolRefuses) {
  std::vector<std::string> cases;
  for (const auto& row : test_rows::faults_with_position()) cases.push_back(row.json);
  for (const auto& row : test_rows::values_named_as_written()) cases.push_back(row.json);
  const std::string head =
      R"({"machine":"VHF_K5","material":"ZR","material_brand_reference":"zige","products":[)";
  const std::string product = R"({"product_type":"Crown","stl":"a.stl","pts":"a.pts",)";
  cases.push_back(head + product + R"("tooth_iso_number":[11],"bounding_box":[0,0,1,2]}]})");
  cases.push_back(head + product + R"("bounding_box":[0,0,1,2,2,3]}]})");
  cases.push_back(head + product +
                  R"("tooth_iso_number":[11],"bounding_box":[0,0,1,2,2,3],)"
                  R"("pts":"missing.pts"}]})");
  cases.push_back(head + R"({"product_type":"Crown","stl":"a.stl","pts":"bad.pts",)"
                         R"("tooth_iso_number":[11],"bounding_box":[0,0,1,2,2,3]}]})");
  cases.push_back("{\"machine\":\"\xFF\"}");
  write("a.pts", "BEGIN_M\n1 2 3\n4 5 6\n7 8 9\nEND_M\n");
  write("bad.pts", "BEGIN_M\n1 2 \xFF\nEND_M\n");
  write("a.stl", "solid a\nendsolid a\n");
  for (const std::string& text : cases) {
    SCOPED_TRACE(text);
    write("case.json", text);
    const Outcome tool = run({"case.json", "-o", "out.xml"});
    ASSERT_EQ(tool.status, 1);
    const Outcome checker = run_checker({"case.json"}, dir_);
    EXPECT_EQ(checker.status, 1);
    EXPECT_TRUE(checker.out.starts_with("case.json:")) << checker.out;
    EXPECT_NE(checker.out.find(": error: " + on_one_line(flattened(tool.err)) + " [tool-error]\n"),
              std::string::npos)
        << checker.out << "\ntool: " << tool.err;
    EXPECT_EQ(checker.err, "");
  }
}

}  // namespace
}  // namespace e2e
