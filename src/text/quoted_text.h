// A text inside a message, between double quotes, with everything that
// could hide or disguise what the file holds written as an escape: quotes
// and backslashes, controls, and every invisible or direction-changing
// character (format characters, separators, spaces other than U+0020,
// private use, unassigned code points and combining marks).
#pragma once

#include <string>
#include <string_view>

namespace text {

// `text` (UTF-8) in double quotes: `"` as \", `\` as \\, line feed, carriage
// return, tab and NUL as \n, \r, \t and \0, and the other escaped characters
// as \u{hex} (lower-case hex, no leading zeros: \u{1b}, \u{202e}).
std::string quote_for_message(std::string_view text);

// Whether `c` is one of the characters that a message shows as an escape
// because it could hide or disguise what a text holds: controls, format
// characters, separators, spaces other than U+0020, private use, unassigned
// code points and combining marks.
bool is_invisible_character(char32_t c);

}  // namespace text
