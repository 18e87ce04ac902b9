// Case metadata files that do not read, reported under the run's heading.
#include "case_file_messages.h"
#include "tool_runner.h"

namespace e2e {
namespace {

using CaseFile = ToolTest;

TEST_F(CaseFile, AMissingFieldGivesTheThreePartReport) {
  write("case.json", R"({"machine":"M"} x)");
  const Outcome outcome = run({"case.json", "-o", "out.xml"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err,
            "Error: Failed to parse JSON metadata file 'case.json'\n\nCaused by:\n"
            "    missing field `material` at line 1 column 15\n");
  EXPECT_FALSE(exists("out.xml"));
}

TEST_F(CaseFile, AMultiLineCauseLinesUpUnderItsFirstLine) {
  write(
      "case.json",
      R"({"machine":"M","material":"ZR","material_brand_reference":"",)"
      R"("products":[{"product_type":"Crown","bounding_box":[],"stl":"","tooth_iso_number":["1 2"]}]})");
  const Outcome outcome = run({"case.json"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err,
            "Error: Failed to parse JSON metadata file 'case.json'\n\nCaused by:\n"
            "    PickFirst could not deserialize any variant:\n"
            "      First: invalid type: string \"1 2\", expected u32\n"
            "      Second: invalid digit found in string at line 1 column 149\n");
}

TEST_F(CaseFile, AnEmptyFileEndsBeforeAnyValue) {
  write("empty.json", "");
  const Outcome outcome = run({"empty.json"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err,
            "Error: Failed to parse JSON metadata file 'empty.json'\n\nCaused by:\n"
            "    EOF while parsing a value at line 1 column 0\n");
}

// The report puts each further line of a cause under its first line.
std::string indented_cause(const std::string& message) {
  std::string cause;
  for (char c : message) {
    cause += c;
    if (c == '\n') cause += "    ";
  }
  return cause;
}

TEST_F(CaseFile, NamesEachValueExactlyAsTheFileHoldsIt) {
  for (const auto& row : test_rows::values_named_as_written()) {
    SCOPED_TRACE(row.json);
    write("case.json", row.json);
    const Outcome outcome = run({"case.json"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err,
              "Error: Failed to parse JSON metadata file 'case.json'\n\nCaused by:\n    " +
                  indented_cause(row.message) + "\n");
  }
}

}  // namespace
}  // namespace e2e
