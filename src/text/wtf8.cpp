#include "text/wtf8.h"

#include "text/utf8.h"

namespace text {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool is_high_surrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

unsigned byte_at(std::string_view bytes, std::size_t i) {
  return static_cast<unsigned char>(bytes[i]);
}

// 3 when `bytes` starts with the three-byte form of a surrogate (ED A0..BF
// 80..BF), which UTF-8 forbids and WTF-8 allows; else 0.
std::size_t surrogate_length(std::string_view bytes) {
  if (bytes.size() < 3 || byte_at(bytes, 0) != 0xED) return 0;
  const unsigned second = byte_at(bytes, 1);
  const unsigned third = byte_at(bytes, 2);
  return second >= 0xA0 && second <= 0xBF && third >= 0x80 && third <= 0xBF ? 3 : 0;
}

// The value of one well-formed sequence of `length` bytes.
char32_t decode(std::string_view bytes, std::size_t length) {
  constexpr unsigned kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t value = byte_at(bytes, 0) & kLeadMask[length];
  for (std::size_t i = 1; i < length; ++i) value = (value << 6) | (byte_at(bytes, i) & 0x3F);
  return value;
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
    const std::string_view rest = text.substr(i);
    std::size_t length = utf8_sequence_length(rest);
    if (length == 0) length = surrogate_length(rest);
    if (length == 0) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    append_utf16(out, decode(rest, length));
    i += length;
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
