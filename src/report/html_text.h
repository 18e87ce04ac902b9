// Texts from case files put into the page: escaped so that no name can
// become markup, and so that what could hide or disguise a name shows.
#pragma once

#include <string>
#include <string_view>

#include "text/shortest_decimal.h"

namespace report {

// Appends `bytes` as text safe both in element content and in a
// double-quoted attribute value: & < > " ' as character references; C0
// controls and DEL as their Unicode control pictures (a line feed as
// U+240A); other characters that could hide what a name holds (format and
// direction characters, unusual spaces) as "<U+202E>"; each maximal
// ill-formed UTF-8 part as U+FFFD, as paths are shown in messages.
void append_html_text(std::string& out, std::string_view bytes);

std::string html_text(std::string_view bytes);

// Appends `value` rounded to `decimals` places (0 to 4), in the shortest form that
// reads back to the rounded number ("12.5", "3", never "-0"): the same
// bytes on every platform.
void append_number(std::string& out, double value, int decimals);

// The room that write_number may need.
inline constexpr std::size_t kMaxNumberLength = text::kMaxShortestLength;

// append_number at `out`, which has room for kMaxNumberLength bytes;
// returns the end of what it wrote. For a drawing's many numbers, put
// together in a buffer and appended at once.
char* write_number(char* out, double value, int decimals);

}  // namespace report
