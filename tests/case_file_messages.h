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
  static const std::string head =
      R"({"machine":"M","material":"ZR","material_brand_reference":"",)";
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

// Each fault of reading with the position the parser gives it: the syntax
// faults, the record and value faults of the case's own members.
inline const std::vector<CaseFileMessage>& faults_with_position() {
  static const std::string case_head =
      R"({"machine":"M","material":"m","material_brand_reference":"r",)";
  static const std::vector<CaseFileMessage> rows = {
      {"", "EOF while parsing a value at line 1 column 0"},
      {"  \n ", "EOF while parsing a value at line 2 column 1"},
      {"\xEF\xBB\xBF{}", "expected value at line 1 column 1"},
      {"5", "invalid type: integer `5`, expected struct CaseMetadata at line 1 column 1"},
      {"\"x\"", "invalid type: string \"x\", expected struct CaseMetadata at line 1 column 3"},
      {"null", "invalid type: null, expected struct CaseMetadata at line 1 column 4"},
      {"{}", "missing field `machine` at line 1 column 2"},
      {R"({"machine":"M"} x)", "missing field `material` at line 1 column 15"},
      {R"({"machine":"M","material":"m","material_brand_reference":"r"})",
       "missing field `products` at line 1 column 61"},
      {"[]", "invalid length 1, expected struct CaseMetadata with 5 elements at line 1 column 2"},
      {R"({"machine":"M","machine":"N"})", "duplicate field `machine` at line 1 column 24"},
      // ':' follows '9' in the byte order; a skipped number ends before it.
      {R"({"x":1.1234567:8})", "expected `,` or `}` at line 1 column 15"},
      {case_head + R"("products":[]} x)", "trailing characters at line 1 column 77"},
      {case_head + R"("products":[],})", "trailing comma at line 1 column 76"},
      {case_head + R"("products":[] "x":1})", "expected `,` or `}` at line 1 column 76"},
      {case_head + R"("products":null})",
       "invalid type: null, expected a sequence at line 1 column 76"},
      {case_head + R"("products":[5]})",
       "invalid type: integer `5`, expected struct Product at line 1 column 74"},
      {R"({"machine":5})", "invalid type: integer `5`, expected a string at line 1 column 12"},
      {R"({"machine":1.5})",
       "invalid type: floating point `1.5`, expected a string at line 1 column 14"},
      {R"({"machine":-7})", "invalid type: integer `-7`, expected a string at line 1 column 13"},
      {R"({"machine":true})",
       "invalid type: boolean `true`, expected a string at line 1 column 15"},
      {R"({"machine":false})",
       "invalid type: boolean `false`, expected a string at line 1 column 16"},
      {R"({"machine":)" + std::string(400, '9') + "}", "number out of range at line 1 column 411"},
      {"{\"machine\":\"a\x1F\"}",
       "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 14"},
      {"\r\n{\"machine\":\r\n5}",
       "invalid type: integer `5`, expected a string at line 3 column 1"},
      {R"({"machine":[]})", "invalid type: sequence, expected a string at line 1 column 11"},
      {R"({"machine":{}})", "invalid type: map, expected a string at line 1 column 11"},
      {R"({"machine":tru})", "expected ident at line 1 column 15"},
      {R"({"machine":nul)", "EOF while parsing a value at line 1 column 14"},
      {R"({"machine")", "EOF while parsing an object at line 1 column 10"},
      {R"({"machine" "M"})", "expected `:` at line 1 column 12"},
      {R"({"machine":"M)", "EOF while parsing a string at line 1 column 13"},
      {"{\"machine\":\"a\x01\"}",
       "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 14"},
      {R"({"machine":"\x"})", "invalid escape at line 1 column 14"},
      {R"({"machine":"\u12G4"})", "invalid escape at line 1 column 18"},
      {R"({"machine":"\u12)", "EOF while parsing a string at line 1 column 16"},
      {R"({"machine":"\udc00"})", "lone leading surrogate in hex escape at line 1 column 18"},
      {R"({"machine":"\ud800x"})", "unexpected end of hex escape at line 1 column 19"},
      {R"({"machine":"\ud800\u0041"})", "lone leading surrogate in hex escape at line 1 column 24"},
      {R"({5:1})", "key must be a string at line 1 column 2"},
      {R"({"x":[1,]})", "expected value at line 1 column 9"},
      {R"({"x":{"a":1,}})", "key must be a string at line 1 column 13"},
      {R"({"x":[1 2]})", "expected `,` or `]` at line 1 column 9"},
      {R"({"x":01})", "invalid number at line 1 column 7"},
      {R"({"x":-})", "invalid number at line 1 column 7"},
      {R"({"x":1.})", "invalid number at line 1 column 8"},
      {R"({"x":1e]})", "invalid number at line 1 column 8"},
      {R"({"x":1E+})", "invalid number at line 1 column 9"},
      {R"({"x":"\q"})", "invalid escape at line 1 column 8"},
      {R"({"x":[)", "EOF while parsing a list at line 1 column 6"},
      {"{\"x\":[1,\n2", "EOF while parsing a list at line 2 column 1"},
  };
  return rows;
}

}  // namespace test_rows
