// Case files that do not read, each with the message its reading gives:
// rows shared by the parser's unit tests and the program's end-to-end
// tests, so that both hold the same texts to the same words.
#pragma once

#include <string>
#include <vector>

namespace test_rows {

struct CaseFileMessage {
  std::string json;
  std::string message;  // as the parser gives it, position included
};

// Integers are named by their digits whatever their size, and strings show
// every invisible or direction-changing character as an escape, so the
// message says exactly what the file holds.
inline const std::vector<CaseFileMessage>& values_named_as_written() {
  static const std::string head = R"({"machine":"M","material":"ZR","material_brand_reference":"",)";
  static const std::string product =
      R"("products":[{"product_type":"Crown","bounding_box":[],"stl":"","tooth_iso_number":[)";
  static const std::vector<CaseFileMessage> rows = {
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
       "  First: invalid value: integer `18446744073709551616`, expected u32\n"
       "  Second: invalid type: integer `18446744073709551616`, expected a string at line 1 "
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
  return rows;
}

}  // namespace test_rows
