// Unicode White_Space, by which margin line files are trimmed and split.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace text {

// `text` (valid UTF-8) without White_Space characters at either end.
std::string_view trim_white_space(std::string_view text);

// The ASCII White_Space characters: space, tab, line feed, vertical tab,
// form feed and carriage return.
inline bool is_ascii_white_space(unsigned char c) { return c == ' ' || (c >= 0x09 && c <= 0x0D); }

// The two below decide ASCII text here, without a call: margin lines are
// nearly always ASCII, and they are read by the million.

// Length of the White_Space character that starts `text`, or 0 when none
// does.
std::size_t white_space_length_beyond_ascii(std::string_view text);
inline std::size_t white_space_length(std::string_view text) {
  if (text.empty()) return 0;
  const auto first = static_cast<unsigned char>(text[0]);
  if (first < 0x80) return is_ascii_white_space(first) ? 1 : 0;
  return white_space_length_beyond_ascii(text);
}

// `text` without the White_Space characters at its start.
std::string_view skip_white_space_beyond_ascii(std::string_view text);
inline std::string_view skip_white_space(std::string_view text) {
  while (!text.empty()) {
    const auto first = static_cast<unsigned char>(text[0]);
    if (first >= 0x80) return skip_white_space_beyond_ascii(text);
    if (!is_ascii_white_space(first)) break;
    text.remove_prefix(1);
  }
  return text;
}

// Takes the next run of non-White_Space characters from `rest`, dropping
// the white space before it; none when only white space is left.
std::optional<std::string_view> next_word(std::string_view& rest);

}  // namespace text
