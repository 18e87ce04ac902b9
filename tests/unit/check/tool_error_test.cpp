// The tool's failure as a finding: its words on one line, and its place
// taken from the error's data, never read back out of the words.
#include "check/tool_error.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "qfm/load_case.h"

namespace check {
namespace {

// The error that reading `text` as the case file "case.json" gives.
common::RunError reading_fault(std::string_view text) {
  const auto read = qfm::parse_case_file({"case.json", "case", "case.constructionInfo"}, text);
  EXPECT_FALSE(read);
  return read ? common::RunError{} : read.error();
}

TEST(ToolError, StandsWhereTheErrorsPlaceSaysWhateverItsWords) {
  constexpr std::string_view kHeading = "Failed to parse JSON metadata file 'case.json': ";
  const struct {
    const char* what;
    common::RunError error;
    std::size_t line;
    std::size_t column;
    std::string message;
  } rows[] = {
      {"a JSON fault, at its character", reading_fault("{\n  \"machine\": 5}"), 2, 14,
       std::string(kHeading) + "invalid type: integer `5`, expected a string at line 2 column 14"},
      {"a JSON fault before a line's first character", reading_fault("{\n"), 2, 1,
       std::string(kHeading) + "EOF while parsing an object at line 2 column 0"},
      {"a tooth number whose words hold another place",
       reading_fault("{\"machine\": \"M\", \"material\": \"ZR\", \"material_brand_reference\": "
                     "\"\",\n\"products\": [{\"product_type\": \"Crown\", \"tooth_iso_number\": "
                     "[\"x at line 9 column 9\"]"),
       2, 82,
       std::string(kHeading) +
           "PickFirst could not deserialize any variant: First: invalid type: string \"x at line "
           "9 column 9\", expected u32; Second: invalid digit found in string at line 2 column "
           "82"},
      {"a fault of no text read, whose last words read as a place",
       common::wrap_error("Failed to read a.pts",
                          common::plain_error("not read at line 9 column 9")),
       1, 1, "Failed to read a.pts: not read at line 9 column 9"},
      {"a place that the words do not name", common::placed_error("at line 9 column 9", {0, 3, 4}),
       3, 4, "at line 9 column 9"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const Finding finding = tool_error("case.json", row.error);
    EXPECT_EQ(finding.path, "case.json");
    EXPECT_EQ(finding.rule, Rule::ToolError);
    EXPECT_EQ(finding.line, row.line);
    EXPECT_EQ(finding.column, row.column);
    EXPECT_EQ(finding.message, row.message);
  }
}

}  // namespace
}  // namespace check
