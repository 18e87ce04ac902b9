// UTF-8 checks shared by every reader of case files and by path display.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// Whether the three-byte forms of U+D800..U+DFFF read as characters: UTF-8
// refuses them, WTF-8 carries lone surrogates in them.
enum class Surrogates { Refused, Accepted };

// The character that starts a text, as decode_utf8_character reads it.
struct Utf8Character {
  char32_t code_point = 0;  // only when well-formed
  // The bytes read: the whole sequence when well-formed, else the maximal
  // ill-formed part (at least one byte) that one U+FFFD stands for; 0 for
  // an empty text.
  std::size_t length = 0;
  bool well_formed = false;
};

// The one UTF-8 decoder: the character at the start of `bytes`. Overlong
// forms, values past U+10FFFF and, unless `surrogates` accepts them,
// surrogates are not well-formed.
Utf8Character decode_utf8_character(std::string_view bytes,
                                    Surrogates surrogates = Surrogates::Refused);

// Length of the well-formed UTF-8 sequence at the start of `bytes`, or 0
// when it is not one.
std::size_t utf8_sequence_length(std::string_view bytes);

bool is_valid_utf8(std::string_view bytes);

// `bytes` as UTF-8 text, each maximal ill-formed part replaced by U+FFFD:
// how a path is shown in messages and on standard output.
std::string utf8_lossy(std::string_view bytes);

// Appends the UTF-8 form of the code point `cp` (at most U+10FFFF).
void append_utf8(std::string& out, char32_t cp);

}  // namespace text
