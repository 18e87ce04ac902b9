// The margin line rows that the tool's reader tests read too: for each
// file, the lines the checker reports, with their places.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "check/margin_file_rules.h"

namespace check {
namespace {

std::string unescape(std::string_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      bytes += text[i];
      continue;
    }
    const char kind = text[++i];
    if (kind == 'x') {
      bytes += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      bytes += kind == 'n' ? '\n' : kind == 'r' ? '\r' : kind == 't' ? '\t' : kind;
    }
  }
  return bytes;
}

std::vector<std::string> split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const auto at = text.find(separator, start);
    parts.push_back(text.substr(start, at - start));
    if (at == std::string::npos) return parts;
    start = at + separator.size();
  }
}

struct ExpectedLine {
  std::size_t line;
  std::size_t column;
  std::string words;
};

// "L:C words"
ExpectedLine expected_line(const std::string& entry) {
  const auto colon = entry.find(':');
  const auto space = entry.find(' ');
  return {std::stoul(entry.substr(0, colon)), std::stoul(entry.substr(colon + 1, space - colon - 1)),
          entry.substr(space + 1)};
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
      for (const std::string& entry : split(columns[3], "; ")) expected.push_back(expected_line(entry));
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
