#include "text/white_space.h"

#include "text/utf8.h"

namespace text {

namespace {

bool is_white_space(char32_t c) {
  switch (c) {
    case 0x09:
    case 0x0A:
    case 0x0B:
    case 0x0C:
    case 0x0D:
    case 0x20:
    case 0x85:
    case 0xA0:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
      return true;
    default:
      return c >= 0x2000 && c <= 0x200A;
  }
}

// Length of the character at the start of `text`; one byte for anything
// ill-formed, which is never white space.
std::size_t character_length(std::string_view text) {
  const std::size_t length = text::utf8_sequence_length(text);
  return length == 0 ? 1 : length;
}

bool white_space_at(std::string_view text, std::size_t length) {
  const Utf8Character character = text::decode_utf8_character(text);
  return character.well_formed && character.length == length &&
         is_white_space(character.code_point);
}

// Length of the white space character that ends `text`, or 0.
std::size_t trailing_white_space(std::string_view text) {
  const auto last = static_cast<unsigned char>(text.back());
  if (last < 0x80) return is_ascii_white_space(last) ? 1 : 0;
  for (std::size_t length = 1; length <= 4 && length <= text.size(); ++length) {
    const std::string_view tail = text.substr(text.size() - length);
    if ((static_cast<unsigned char>(tail[0]) & 0xC0) == 0x80) continue;
    return white_space_at(tail, length) ? length : 0;
  }
  return 0;
}

std::size_t leading_white_space(std::string_view text) {
  const auto first = static_cast<unsigned char>(text[0]);
  if (first < 0x80) return is_ascii_white_space(first) ? 1 : 0;  // the common case
  const std::size_t length = character_length(text);
  return white_space_at(text, length) ? length : 0;
}

}  // namespace

std::size_t white_space_length_beyond_ascii(std::string_view text) {
  return text.empty() ? 0 : leading_white_space(text);
}

std::string_view skip_white_space_beyond_ascii(std::string_view text) {
  while (!text.empty()) {
    const std::size_t length = leading_white_space(text);
    if (length == 0) break;
    text.remove_prefix(length);
  }
  return text;
}

std::string_view trim_white_space(std::string_view text) {
  text = skip_white_space(text);
  while (!text.empty()) {
    const std::size_t length = trailing_white_space(text);
    if (length == 0) break;
    text.remove_suffix(length);
  }
  return text;
}

std::optional<std::string_view> next_word(std::string_view& rest) {
  rest = skip_white_space(rest);
  if (rest.empty()) return std::nullopt;
  std::size_t end = 0;
  while (end < rest.size()) {
    const auto c = static_cast<unsigned char>(rest[end]);
    if (c < 0x80) {
      if (is_ascii_white_space(c)) break;
      ++end;
      continue;
    }
    if (leading_white_space(rest.substr(end)) != 0) break;
    end += character_length(rest.substr(end));
  }
  const std::string_view word = rest.substr(0, end);
  rest.remove_prefix(end);
  return word;
}

}  // namespace text
