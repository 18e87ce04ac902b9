// The reports cannot be forged nor broken by what a name or a message
// holds: the text form shows every byte that does not print as \xNN, so a
// finding is one line; the JSON form escapes what JSON needs and keeps the
// bytes of names that are not UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "check/report_format.h"

namespace check {
namespace {

Finding finding_at(std::string path, std::string message) {
  return Finding{std::move(path), 2,           3, Rule::ToolError, std::move(message),
                 std::nullopt,    std::nullopt};
}

TEST(TextReport, ShowsWhatDoesNotPrintAsEscapesOnOneLine) {
  const struct {
    std::string path;
    std::string message;
    std::string line;
  } rows[] = {
      {"a.json", "plain", "a.json:2:3: error: plain [tool-error]\n"},
      {"x\ny.json:1:1: error: forged [tool-error]", "m",
       "x\\x0Ay.json:1:1: error: forged [tool-error]:2:3: error: m [tool-error]\n"},
      {"a.json", "one\r\ntwo", "a.json:2:3: error: one\\x0D\\x0Atwo [tool-error]\n"},
      {"\x1B[31mred.json", "tab\there",
       "\\x1B[31mred.json:2:3: error: tab\\x09here [tool-error]\n"},
      {"caf\xC3\xA9.json", "del\x7F", "caf\xC3\xA9.json:2:3: error: del\\x7F [tool-error]\n"},
      {"bad\xFF\xC3.json", "c1 \xC2\x9B",
       "bad\\xFF\\xC3.json:2:3: error: c1 \\xC2\\x9B [tool-error]\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    const Findings findings{finding_at(row.path, row.message)};
    const std::string report = text_report(findings, summarise(1, findings));
    EXPECT_EQ(report, row.line + "1 case checked: 1 error, 0 warnings\n");
  }
}

TEST(TextReport, CountsInSingularAndPlural) {
  const Findings none;
  EXPECT_EQ(text_report(none, summarise(2, none)), "2 cases checked: 0 errors, 0 warnings\n");
}

TEST(JsonReport, EscapesWhatJsonNeedsAndKeepsBytesThatAreNotUtf8) {
  const struct {
    std::string path;
    std::string json;
  } rows[] = {
      {"C:\\cases\\a.json", R"("C:\\cases\\a.json")"},
      {"q\"uote", R"("q\"uote")"},
      {std::string("nul\x01\x1F", 5), R"("nul\u0001\u001f")"},
      {"cr\rlf\ntab\t", R"("cr\rlf\ntab\t")"},
      {"esc\x1B", R"("esc\u001b")"},
      {"caf\xC3\xA9", "\"caf\xC3\xA9\""},
      {"bad\xFF\xC3", R"("bad\udcff\udcc3")"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.json);
    Finding finding = finding_at(row.path, "m");
    finding.product = 1;
    finding.point = 4;
    const Findings findings{finding};
    const std::string report = json_report(findings, summarise(1, findings));
    EXPECT_NE(report.find("{\"path\": " + row.json +
                          ", \"line\": 2, \"column\": 3, \"severity\": \"error\", \"rule\": "
                          "\"tool-error\", \"message\": \"m\", \"product\": 1, \"point\": 4}"),
              std::string::npos)
        << report;
  }
}

}  // namespace
}  // namespace check
