// UTF-8 checks shared by every reader of case files and by path display.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// Length of the well-formed UTF-8 sequence at the start of `bytes`, or 0
// when it is not one (overlong forms, surrogates and values past U+10FFFF
// are not well-formed).
std::size_t utf8_sequence_length(std::string_view bytes);

bool is_valid_utf8(std::string_view bytes);

// `bytes` as UTF-8 text, each maximal ill-formed part replaced by U+FFFD:
// how a path is shown in messages and on standard output.
std::string utf8_lossy(std::string_view bytes);

// The code point of `sequence`, one well-formed UTF-8 sequence whole (as
// utf8_sequence_length measures it).
char32_t decode_utf8(std::string_view sequence);

// Appends the UTF-8 form of the code point `cp` (at most U+10FFFF).
void append_utf8(std::string& out, char32_t cp);

}  // namespace text
