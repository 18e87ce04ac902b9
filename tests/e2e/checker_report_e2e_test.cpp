// The checker's HTML report (--report FILE) as the built program writes it:
// beside standard output, which it leaves as it was; a section for every
// case, loaded or not; a report it cannot write is trouble (status 2); and
// the same page, byte for byte, from the Linux and the Windows program.
#include <regex>

#include "tool_runner.h"

namespace e2e {
namespace {

using CheckerReport = ToolTest;

std::size_t count_of(const std::string& text, std::string_view part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The page's frame and one section per case, each product's section with
// its three drawings where it has a mesh or a margin line.
void expect_page(const std::string& page, std::size_t cases, std::size_t products,
                 std::size_t drawn) {
  EXPECT_TRUE(page.starts_with("<!DOCTYPE html>")) << page.substr(0, 80);
  EXPECT_TRUE(page.ends_with("</html>\n"))
      << page.substr(page.size() - std::min<std::size_t>(80, page.size()));
  for (std::size_t c = 1; c <= cases; ++c) {
    const std::string id = "case-" + std::to_string(c);
    EXPECT_EQ(count_of(page, "id=\"" + id + "\""), 1U) << id;
    EXPECT_EQ(count_of(page, "href=\"#" + id + "\""), 1U) << id;
  }
  EXPECT_EQ(count_of(page, "id=\"case-" + std::to_string(cases + 1) + "\""), 0U);
  EXPECT_EQ(count_of(page, "<section class=\"product\""), products);
  EXPECT_EQ(count_of(page, "class=\"view\""), 3 * drawn);
  EXPECT_EQ(count_of(page, "<script"), 0U);
}

TEST_F(CheckerReport, WritesThePageBesideAnUnchangedStandardOutput) {
  copy_fixture("geometry/spike");
  copy_fixture("geometry/swapped-pts");
  const struct {
    std::vector<std::string> paths;
    std::size_t cases, products, drawn;
  } rows[] = {
      // Two bridges and a crown; printed crowns with a model whose margin
      // line file holds no points (drawn: its mesh).
      {{DAZ_EXAMPLES_DIR}, 3, 6, 6},
      {{"spike", "swapped-pts"}, 2, 4, 4},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.paths.front());
    const Outcome plain = run_checker(row.paths, dir_);
    std::vector<std::string> arguments{"--report", "page.html"};
    arguments.insert(arguments.end(), row.paths.begin(), row.paths.end());
    const Outcome reported = run_checker(arguments, dir_);
    EXPECT_EQ(reported.status, plain.status);
    EXPECT_LE(reported.status, 1);
    EXPECT_EQ(reported.out, plain.out);
    EXPECT_EQ(reported.err, "");
    expect_page(read("page.html"), row.cases, row.products, row.drawn);
  }
}

TEST_F(CheckerReport, ACaseThatDoesNotLoadOrDrawStillGetsItsSection) {
  write("broken.json", "{\"products\": [");
  write(
      "bare.json",
      R"({"machine": "VHF_K5", "material": "ZIRCONIUM", "material_brand_reference": "", "products": [{"product_type": "Crown",
            "tooth_iso_number": [11], "bounding_box": [0, 0, 0, 9, 9, 9], "stl": "gone.stl",
            "pts": "empty.pts"}]})");
  write("empty.pts", "BEGIN_MARGIN\nEND_MARGIN\n");
  const Outcome outcome = run_checker({"--report", "page.html", ".", "missing.json"}, dir_);
  EXPECT_EQ(outcome.status, 2);
  const std::string page = read("page.html");
  expect_page(page, 3, 1, 0);
  EXPECT_NE(page.find("No mesh drawn:</strong> the STL file cannot be read: "), std::string::npos);
  EXPECT_NE(page.find("No margin line drawn:</strong> the margin line file holds no points"),
            std::string::npos);
  EXPECT_NE(page.find("No products were read."), std::string::npos);
  EXPECT_NE(page.find("could not read &quot;missing.json&quot;"), std::string::npos);
}

// A named file that cannot be read is the run's trouble (status 2, a message
// on standard error), counted by neither summary: the page says it apart,
// and its counts are those of the summary line and of the JSON document.
TEST_F(CheckerReport, CountsAsTheSummaryOnStandardOutputCounts) {
  write("broken.json", "{\"products\": [");
  copy_fixture("geometry/spike");
  const std::vector<std::string> paths = {"broken.json", "spike", "missing.json"};
  // The same arguments after a format of each kind; GCC 12 for Windows
  // takes an insert at a vector's front for a null dereference.
  const auto with_format = [&](const char* format) {
    std::vector<std::string> arguments{format, "--report", "page.html"};
    arguments.insert(arguments.end(), paths.begin(), paths.end());
    return arguments;
  };
  const Outcome text = run_checker(with_format("--format=text"), dir_);
  EXPECT_EQ(text.status, 2);
  EXPECT_NE(text.err.find("missing.json"), std::string::npos) << text.err;
  const std::string summary = "2 cases checked: 1 error, 2 warnings";
  EXPECT_TRUE(text.out.ends_with(summary + "\n")) << text.out;
  const std::string page = read("page.html");
  EXPECT_NE(page.find("<p class=\"totals\">" + summary +
                      ". <strong>1 named file could not be read.</strong></p>"),
            std::string::npos);
  // The file's row and section say why, and count nothing.
  EXPECT_NE(page.find(">missing.json</a></td><td colspan=\"2\">could not be read</td>"),
            std::string::npos);
  EXPECT_NE(
      page.find("<strong>Could not be read:</strong> could not read &quot;missing.json&quot;"),
      std::string::npos);
  const Outcome json = run_checker(with_format("--format=json"), dir_);
  EXPECT_EQ(json.status, 2);
  EXPECT_TRUE(json.out.starts_with("{\n  \"cases\": 2,\n  \"errors\": 1,\n  \"warnings\": 2,"))
      << json.out;
  EXPECT_EQ(read("page.html"), page);
}

TEST_F(CheckerReport, AReportItCannotWriteIsTroubleAndLeavesTheFindingsShown) {
  std::filesystem::create_directory(dir_ / "folder");
  const struct {
    std::string path;
    SystemError error;
  } rows[] = {
      {"missing/page.html", kFolderNotFound},
      {"folder", kIsADirectory},
  };
  const Outcome plain = run_checker({DAZ_EXAMPLES_DIR}, dir_);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    const Outcome outcome = run_checker({"--report", row.path, DAZ_EXAMPLES_DIR}, dir_);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, plain.out);
    EXPECT_TRUE(is_report(outcome.err, "Error: could not write the report \"" + row.path + "\"",
                          row.error));
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "folder"));
}

// The page of a case, named from its own folder so that no path differs
// between systems, is the same bytes from every build of the checker. To
// write it again after a change to the page: in
// tests/fixtures/geometry/clean, daz-izezovivadezurid-check --report
// ../../report/clean.html case.json
TEST_F(CheckerReport, WritesTheSamePageOnEverySystem) {
  copy_fixture("geometry/clean");
  const Outcome outcome = run_checker({"--report", "page.html", "case.json"}, dir_ / "clean");
  EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
  const std::string page = read_bytes(dir_ / "clean" / "page.html");
  const std::string golden =
      read_bytes(std::filesystem::path(DAZ_FIXTURES_DIR) / "report" / "clean.html");
  EXPECT_EQ(page.size(), golden.size());
  EXPECT_TRUE(page == golden) << "the page differs from tests/fixtures/report/clean.html";
}

}  // namespace
}  // namespace e2e
