// The margin line rows that the tool's reader tests read too: for each
// file, the lines the checker reports, with their places.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "check/margin_file_rules.h"
#include "margin_lines/margin_line_rows.h"

namespace check {
namespace {

using margin_rows::split;
using margin_rows::unescape;

struct ExpectedLine {
  std::size_t line;
  std::size_t column;
  std::string words;
};

// "L:C words"
ExpectedLine expected_line(const std::string& entry) {
  const auto colon = entry.find(':');
  const auto space = entry.find(' ');
  return {std::stoul(entry.substr(0, colon)),
          std::stoul(entry.substr(colon + 1, space - colon - 1)), entry.substr(space + 1)};
}

TEST(MarginRows, EachFileGivesTheLinesOfItsRow) {
  std::ifstream table(std::string(DAZ_SOURCE_DIR) + "/tests/margin_lines/margin-line-cases.tsv");
  ASSERT_TRUE(table);
  int rows = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    const auto columns = split(line, "\t");
    ASSERT_EQ(columns.size(), 4u) << line;
    SCOPED_TRACE(columns[0]);
    ++rows;
    const auto findings = check_margin_line_text(unescape(columns[1]));
    std::vector<ExpectedLine> expected;
    if (columns[3] != "-") {
      for (const std::string& entry : split(columns[3], "; "))
        expected.push_back(expected_line(entry));
    }
    ASSERT_EQ(findings.size(), expected.size());
    for (const ExpectedLine& want : expected) {
      const bool found = std::any_of(findings.begin(), findings.end(), [&](const LineFinding& f) {
        return f.line == want.line && f.column == want.column &&
               f.message.find(want.words) != std::string::npos;
      });
      EXPECT_TRUE(found) << want.line << ":" << want.column << " " << want.words;
    }
  }
  EXPECT_GT(rows, 25);
}

}  // namespace
}  // namespace check
