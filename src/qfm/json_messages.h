// The fault texts that several parts of the JSON reader give. Each is one
// of the fixed messages of the case file's syntax faults.
#pragma once

#include <string_view>

namespace qfm::json {

inline constexpr std::string_view kEofValue = "EOF while parsing a value";
inline constexpr std::string_view kEofString = "EOF while parsing a string";
inline constexpr std::string_view kEofList = "EOF while parsing a list";
inline constexpr std::string_view kEofObject = "EOF while parsing an object";
inline constexpr std::string_view kInvalidNumber = "invalid number";
inline constexpr std::string_view kExpectedValue = "expected value";

}  // namespace qfm::json
