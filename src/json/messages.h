// The fault texts of the JSON reader that more than one place gives, each
// written once. Every one is a fixed message of the case file's syntax
// faults; the position is added where the fault is raised.
#pragma once

#include <string_view>

namespace json {

inline constexpr std::string_view kEofValue = "EOF while parsing a value";
inline constexpr std::string_view kEofString = "EOF while parsing a string";
inline constexpr std::string_view kEofList = "EOF while parsing a list";
inline constexpr std::string_view kEofObject = "EOF while parsing an object";
inline constexpr std::string_view kInvalidNumber = "invalid number";
inline constexpr std::string_view kExpectedValue = "expected value";
inline constexpr std::string_view kExpectedCommaOrBracket = "expected `,` or `]`";
inline constexpr std::string_view kExpectedCommaOrBrace = "expected `,` or `}`";
inline constexpr std::string_view kTrailingComma = "trailing comma";
inline constexpr std::string_view kTrailingCharacters = "trailing characters";

}  // namespace json
