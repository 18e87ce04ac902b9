// Case metadata files that do not read, reported under the run's heading.
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

// Integers are named by their digits whatever their size, and strings show
// every invisible or direction-changing character as an escape, so the
// message says exactly what the file holds.
TEST_F(CaseFile, NamesEachValueExactlyAsTheFileHoldsIt) {
  const std::string head = R"({"machine":"M","material":"ZR","material_brand_reference":"",)";
  const std::string product =
      R"("products":[{"product_type":"Crown","bounding_box":[],"stl":"","tooth_iso_number":[)";
  const struct {
    std::string json;
    std::string cause;
  } cases[] = {
      {R"({"machine":18446744073709551616})",
       "invalid type: integer `18446744073709551616`, expected a string at line 1 column 31"},
      {R"({"machine":-9223372036854775809})",
       "invalid type: integer `-9223372036854775809`, expected a string at line 1 column 31"},
      {R"({"machine":99999999999999999999999})",
       "invalid type: integer `99999999999999999999999`, expected a string at line 1 column 34"},
      {R"({"machine":-0})", "invalid type: integer `0`, expected a string at line 1 column 13"},
      {R"({"machine":1e400})", "number out of range at line 1 column 16"},
      {head + product + "18446744073709551616]}]}",
       "PickFirst could not deserialize any variant:\n"
       "      First: invalid value: integer `18446744073709551616`, expected u32\n"
       "      Second: invalid type: integer `18446744073709551616`, expected a string at line 1 "
       "column 164"},
      {head + R"("products":["ab\u202Ecd"]})",
       R"(invalid type: string "ab\u{202e}cd", expected struct Product at line 1 column 85)"},
      {head + "\"products\":[\"\xE2\x80\x8B|\xEF\xBB\xBF|\xC2\xA0|\xE2\x80\xA8|e\xCC\x81\"]}",
       R"(invalid type: string "\u{200b}|\u{feff}|\u{a0}|\u{2028}|e\u{301}", expected struct )"
       R"(Product at line 1 column 85)"},
      {head + R"("products":["\u00e9\u00fc \ud83d\ude00 \u001b"]})",
       "invalid type: string \"\xC3\xA9\xC3\xBC \xF0\x9F\x98\x80 \\u{1b}\", expected struct "
       "Product at line 1 column 107"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    write("case.json", c.json);
    const Outcome outcome = run({"case.json"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "Error: Failed to parse JSON metadata file 'case.json'\n\nCaused by:\n    " +
                               c.cause + "\n");
  }
}

}  // namespace
}  // namespace e2e
