// The public JSON conformance suite (JSONTestSuite's parsing tests, kept
// under tests/fixtures/jsontestsuite with their license), read the way a
// run reads a case file: checked as UTF-8 first, then parsed as a case.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "qfm/case_metadata_parser.h"
#include "text/utf8.h"

namespace qfm {
namespace {

namespace fs = std::filesystem;

const fs::path kSuite = fs::path(DAZ_TEST_DATA_DIR) / "jsontestsuite";

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

std::vector<fs::path> suite_files(std::string_view prefix) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(kSuite)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(prefix) && name.ends_with(".json")) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// "accepted", "not UTF-8", or the parser's message without its position.
std::string outcome(const std::string& bytes) {
  if (!text::is_valid_utf8(bytes)) return "not UTF-8";
  const auto result = parse_case_metadata(bytes);
  if (result) return "accepted";
  return result.error().message;
}

// Last in its object, so that a document closing too early cannot end the
// case before the suite's text has been read.
std::string as_unknown_member(const std::string& value) {
  return R"({"machine": "M", "material": "ZR", "material_brand_reference": "", "products": [], )"
         R"("unknown": )" +
         value + "\n}";
}

std::string as_tooth_numbers(const std::string& value) {
  return R"({"machine":"M","material":"ZR","material_brand_reference":"","products":[)"
         R"({"product_type":"Crown","bounding_box":[],"stl":"","tooth_iso_number":)" +
         value + "\n}]}";
}

bool is_syntax_message(const std::string& message) {
  static const std::string kSyntax[] = {
      "EOF while parsing a list",
      "EOF while parsing an object",
      "EOF while parsing a string",
      "EOF while parsing a value",
      "expected `:`",
      "expected `,` or `]`",
      "expected `,` or `}`",
      "expected value",
      "expected ident",
      "invalid escape",
      "invalid number",
      "number out of range",
      "invalid unicode code point",
      "lone leading surrogate in hex escape",
      "unexpected end of hex escape",
      "control character (\\u0000-\\u001F) found while parsing a string",
      "key must be a string",
      "trailing comma",
      "trailing characters",
      "recursion limit exceeded",
      "not UTF-8"};
  return std::find(std::begin(kSyntax), std::end(kSyntax), message) != std::end(kSyntax);
}

class JsonConformance : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::is_directory(kSuite)) {
      GTEST_SKIP() << "the JSON conformance suite is not at " << kSuite.string()
                   << " (it comes with the sources, under tests/fixtures/jsontestsuite)";
    }
  }
};

TEST_F(JsonConformance, AcceptsEveryValidDocumentAsASkippedMember) {
  const auto files = suite_files("y_");
  ASSERT_FALSE(files.empty());
  for (const auto& file : files) {
    EXPECT_EQ(outcome(as_unknown_member(read_file(file))), "accepted") << file.filename();
  }
}

TEST_F(JsonConformance, RejectsAValidDocumentThatIsNoCaseWithATypeOrFieldMessage) {
  for (const auto& file : suite_files("y_")) {
    const std::string message = outcome(read_file(file));
    EXPECT_FALSE(is_syntax_message(message)) << file.filename() << ": " << message;
    EXPECT_NE(message, "accepted") << file.filename();
  }
}

TEST_F(JsonConformance, RejectsEveryInvalidDocumentWithASyntaxMessage) {
  const auto files = suite_files("n_");
  ASSERT_FALSE(files.empty());
  for (const auto& file : files) {
    const std::string bytes = read_file(file);
    const std::string skipped = outcome(as_unknown_member(bytes));
    EXPECT_TRUE(is_syntax_message(skipped)) << file.filename() << ": " << skipped;
    const std::string whole = outcome(bytes);
    EXPECT_NE(whole, "accepted") << file.filename();
  }
}

// The suite leaves these to the reader. A skipped member is checked for form
// only (numbers unconverted, lone surrogates allowed, no depth spent); a
// value the case reads is converted and checked in full. Files that are not
// UTF-8 never reach the parser.
TEST_F(JsonConformance, DecidesEachImplementationDefinedDocument) {
  const std::map<std::string, std::pair<std::string, std::string>> decisions = {
      // file: {as a skipped member, as the tooth number list}
      {"i_number_double_huge_neg_exp.json", {"accepted", "PickFirst"}},
      {"i_number_huge_exp.json", {"accepted", "number out of range"}},
      {"i_number_neg_int_huge_exp.json", {"accepted", "number out of range"}},
      {"i_number_pos_double_huge_exp.json", {"accepted", "number out of range"}},
      {"i_number_real_neg_overflow.json", {"accepted", "number out of range"}},
      {"i_number_real_pos_overflow.json", {"accepted", "number out of range"}},
      {"i_number_real_underflow.json", {"accepted", "PickFirst"}},
      {"i_number_too_big_neg_int.json", {"accepted", "PickFirst"}},
      {"i_number_too_big_pos_int.json", {"accepted", "PickFirst"}},
      {"i_number_very_big_negative_int.json", {"accepted", "PickFirst"}},
      {"i_object_key_lone_2nd_surrogate.json",
       {"accepted", "invalid type: map, expected a sequence"}},
      {"i_string_1st_surrogate_but_2nd_missing.json", {"accepted", "unexpected end of hex escape"}},
      {"i_string_1st_valid_surrogate_2nd_invalid.json",
       {"accepted", "lone leading surrogate in hex escape"}},
      {"i_string_UTF-16LE_with_BOM.json", {"not UTF-8", "not UTF-8"}},
      {"i_string_UTF-8_invalid_sequence.json", {"not UTF-8", "not UTF-8"}},
      {"i_string_UTF8_surrogate_U+D800.json", {"not UTF-8", "not UTF-8"}},
      {"i_string_incomplete_surrogate_and_escape_valid.json",
       {"accepted", "unexpected end of hex escape"}},
      {"i_string_incomplete_surrogate_pair.json",
       {"accepted", "lone leading surrogate in hex escape"}},
      {"i_string_incomplete_surrogates_escape_valid.json",
       {"accepted", "lone leading surrogate in hex escape"}},
      {"i_string_invalid_lonely_surrogate.json", {"accepted", "unexpected end of hex escape"}},
      {"i_string_invalid_surrogate.json", {"accepted", "unexpected end of hex escape"}},
      {"i_string_invalid_utf-8.json", {"not UTF-8", "not UTF-8"}},
      {"i_string_inverted_surrogates_U+1D11E.json",
       {"accepted", "lone leading surrogate in hex escape"}},
      {"i_string_iso_latin_1.json", {"not UTF-8", "not UTF-8"}},
      {"i_string_lone_second_surrogate.json", {"accepted", "lone leading surrogate in hex escape"}},
      {"i_string_lone_utf8_continuation_byte.json", {"not UTF-8", "not UTF-8"}},
      {"i_string_not_in_unicode_range.json", {"not UTF-8", "not UTF-8"}},
      {"i_string_overlong_sequence_2_bytes.json", {"not UTF-8", "not UTF-8"}},
      {"i_string_overlong_sequence_6_bytes.json", {"not UTF-8", "not UTF-8"}},
      {"i_string_overlong_sequence_6_bytes_null.json", {"not UTF-8", "not UTF-8"}},
      {"i_string_truncated-utf-8.json", {"not UTF-8", "not UTF-8"}},
      {"i_string_utf16BE_no_BOM.json", {"not UTF-8", "not UTF-8"}},
      {"i_string_utf16LE_no_BOM.json", {"not UTF-8", "not UTF-8"}},
      {"i_structure_500_nested_arrays.json", {"accepted", "recursion limit exceeded"}},
      {"i_structure_UTF-8_BOM_empty_object.json", {"expected value", "expected value"}},
  };
  const auto files = suite_files("i_");
  EXPECT_EQ(files.size(), decisions.size());
  for (const auto& file : files) {
    const auto decision = decisions.find(file.filename().string());
    ASSERT_NE(decision, decisions.end()) << "no decision for " << file.filename();
    const std::string bytes = read_file(file);
    EXPECT_EQ(outcome(as_unknown_member(bytes)), decision->second.first) << file.filename();
    const std::string as_value = outcome(as_tooth_numbers(bytes));
    EXPECT_TRUE(as_value.starts_with(decision->second.second))
        << file.filename() << ": " << as_value;
  }
}

}  // namespace
}  // namespace qfm
