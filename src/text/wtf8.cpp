#include "text/wtf8.h"

#include "text/utf8.h"

namespace text {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool is_high_surrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool is_surrogate(char32_t unit) { return is_high_surrogate(unit) || is_low_surrogate(unit); }

// 3 when `bytes` starts with the three-byte form of a surrogate, which
// UTF-8 forbids and WTF-8 allows; else 0.
std::size_t surrogate_length(std::string_view bytes) {
  const Utf8Character character = decode_utf8_character(bytes, Surrogates::Accepted);
  return character.well_formed && is_surrogate(character.code_point) ? character.length : 0;
}

void append_utf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out += static_cast<char16_t>(cp);
    return;
  }
  cp -= 0x10000;
  out += static_cast<char16_t>(0xD800 + (cp >> 10));
  out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
}

}  // namespace

std::u16string utf16_from_wtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const Utf8Character character = decode_utf8_character(text.substr(i), Surrogates::Accepted);
    if (!character.well_formed) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    append_utf16(out, character.code_point);
    i += character.length;
  }
  return out;
}

std::string wtf8_from_utf16(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = text[i];
    if (is_high_surrogate(unit) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
      append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else {
      // append_utf8 gives a lone surrogate its three-byte form.
      append_utf8(out, unit);
    }
  }
  return out;
}

std::string wtf8_lossy(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t length = surrogate_length(text.substr(i));
    if (length == 0) {
      ++i;
      continue;
    }
    out += utf8_lossy(text.substr(start, i - start));
    out += kReplacement;
    i += length;
    start = i;
  }
  out += utf8_lossy(text.substr(start));
  return out;
}

}  // namespace text
