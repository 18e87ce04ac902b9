// Texts from case files put into the page: escaped so that no name can
// become markup, and so that what could hide or disguise a name shows.
#pragma once

#include <string>
#include <string_view>

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

}  // namespace report
