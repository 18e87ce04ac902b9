// Every example case checks clean; the edge fixture, full of what the tool
// accepts but a user rarely means, gives exactly its findings.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "check/check_case.h"
#include "check/folder_walk.h"

namespace check {
namespace {

// Findings in files of short names (held inside each finding) keep the
// order in which their files were first named, however sorting moves them.
TEST(OrderFindings, KeepsShortFileNamesInTheOrderFirstNamed) {
  const std::vector<std::vector<std::string>> rows = {
      {"11.stl", "21.stl"},
      {"11.stl", "21.stl", "11.stl", "31.stl"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row));
    Findings findings;
    for (const std::string& path : row) {
      findings.push_back(
          {path, 1, 1, Rule::StlOpen, "the mesh of " + path, std::nullopt, std::nullopt});
    }
    // Each row names its files in the order of their names.
    Findings expected = findings;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const Finding& a, const Finding& b) { return a.path < b.path; });
    order_findings(findings, "case.json");
    for (std::size_t i = 0; i < findings.size(); ++i) {
      EXPECT_EQ(findings[i].path, expected[i].path);
      EXPECT_EQ(findings[i].message, expected[i].message);
    }
  }
}

TEST(CleanCases, EveryExampleChecksClean) {
  const auto files = case_files({std::string(DAZ_SOURCE_DIR) + "/examples"});
  ASSERT_GE(files.size(), 3u);
  for (const CaseFileEntry& file : files) {
    const CaseCheck check = check_case(file.path, file.origin);
    EXPECT_FALSE(check.unreadable) << *check.unreadable;
    for (const Finding& f : check.findings) {
      ADD_FAILURE() << f.path << ":" << f.line << ":" << f.column << ": " << f.message << " ["
                    << rule_id(f.rule) << "]";
    }
  }
}

TEST(CleanCases, TheEdgeFixtureGivesItsFindings) {
  const std::string path = std::string(DAZ_TEST_DATA_DIR) + "/edge/edge.json";
  std::vector<std::string> found;
  for (const Finding& f : check_case(path, CaseOrigin::Named).findings) {
    found.push_back(std::to_string(f.line) + ":" + std::to_string(f.column) + " " +
                    std::string(rule_id(f.rule)));
  }
  const std::vector<std::string> expected{
      "3:15 material-unknown", "4:31 brand-ref-unknown", "8:32 tooth-repeated", "8:38 tooth-number",
      "9:30 bounding-box-order", "11:14 stl-missing", "16:28 tooth-number",
      "17:23 bounding-box-size", "19:14 stl-missing", "20:14 margin-line-short",
      "21:34 margin-line-replaces-inline",
      // points.pts: -1e400 is minus infinity.
      "2:1 coordinate-not-finite"};
  EXPECT_EQ(found, expected);
}

TEST(CleanCases, AFolderGivesItsCaseFilesInPathOrder) {
  const std::string examples = std::string(DAZ_SOURCE_DIR) + "/examples";
  // Paths joined by the host's rules: "\\" between names on Windows.
  std::vector<std::string> files;
  for (const CaseFileEntry& file : case_files({examples})) {
    EXPECT_EQ(file.origin, CaseOrigin::Walked);
    files.push_back(file.path);
  }
  for (std::string& file : files) std::replace(file.begin(), file.end(), '\\', '/');
  ASSERT_EQ(files.size(), 3u);
  EXPECT_TRUE(files[0].ends_with("amann-girrbach/inlay.json")) << files[0];
  EXPECT_TRUE(files[1].ends_with("case7.json")) << files[1];
  EXPECT_TRUE(files[2].ends_with("printing/crowns.json")) << files[2];
  // A file is taken as given, before and after folders alike.
  const auto mixed = case_files({examples + "/case7.json", examples + "/printing"});
  ASSERT_EQ(mixed.size(), 2u);
  EXPECT_EQ(mixed[0].path, examples + "/case7.json");
  EXPECT_EQ(mixed[0].origin, CaseOrigin::Named);
}

TEST(CleanCases, AnEmptyPathIsACaseFileThatDoesNotRead) {
  // The system would list the working folder for it.
  const auto files = case_files({""});
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].path, "");
  EXPECT_EQ(files[0].origin, CaseOrigin::Named);
  const CaseCheck check = check_case("", CaseOrigin::Named);
  EXPECT_TRUE(check.findings.empty());
  EXPECT_TRUE(check.unreadable);
}

}  // namespace
}  // namespace check
