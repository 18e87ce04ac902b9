// Text as one line of a report or of standard error: what a name or a
// message holds can neither end the line nor drive the terminal.
#pragma once

#include <string>
#include <string_view>

namespace check {

// `text` with every byte that is not printable shown as `\xNN`: control
// bytes (line feed, carriage return, tab, escape, DEL), the C1 controls and
// each byte of what is not UTF-8. Everything else is kept as it is.
std::string escape_for_line(std::string_view text);

}  // namespace check
