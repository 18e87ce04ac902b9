#include "text/utf8.h"

#include <cstdint>
#include <cstring>

namespace text {

namespace {

unsigned char byte_at(std::string_view bytes, std::size_t i) {
  return static_cast<unsigned char>(bytes[i]);
}

}  // namespace

Utf8Character decode_utf8_character(std::string_view bytes, Surrogates surrogates) {
  if (bytes.empty()) return {};
  const unsigned char lead = byte_at(bytes, 0);
  if (lead < 0x80) return {lead, 1, true};
  // The lead byte gives the length and the first bits; the range allowed
  // to the second byte shuts out overlong forms, values past U+10FFFF and
  // surrogates.
  std::size_t expected = 0;
  char32_t value = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    expected = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    expected = 3;
    value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED && surrogates == Surrogates::Refused) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    expected = 4;
    value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {0, 1, false};
  }
  for (std::size_t length = 1; length < expected; ++length) {
    if (length == bytes.size()) return {0, length, false};
    const unsigned char next = byte_at(bytes, length);
    if (next < low || next > high) return {0, length, false};
    value = (value << 6) | (next & 0x3F);
    low = 0x80;
    high = 0xBF;
  }
  return {value, expected, true};
}

namespace {

// Where the run of ASCII that starts at `i` ends. ASCII, by far the most
// common text of a case, is checked 32 bytes at a time while that many are
// left (four words, one test), then eight, then byte by byte.
std::size_t end_of_ascii_run(std::string_view bytes, std::size_t i) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  const char* const data = bytes.data();
  const auto word_at = [data](std::size_t at) {
    std::uint64_t word;
    std::memcpy(&word, data + at, sizeof word);
    return word;
  };
  while (bytes.size() - i >= 32 &&
         ((word_at(i) | word_at(i + 8) | word_at(i + 16) | word_at(i + 24)) & kHighBits) == 0) {
    i += 32;
  }
  while (bytes.size() - i >= 8 && (word_at(i) & kHighBits) == 0) i += 8;
  while (i < bytes.size() && static_cast<unsigned char>(data[i]) < 0x80) ++i;
  return i;
}

}  // namespace

std::size_t utf8_sequence_length(std::string_view bytes) {
  const Utf8Character character = decode_utf8_character(bytes);
  return character.well_formed ? character.length : 0;
}

bool is_valid_utf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    i = end_of_ascii_run(bytes, i);
    if (i == bytes.size()) break;
    const std::size_t length = utf8_sequence_length(bytes.substr(i));
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string utf8_lossy(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const Utf8Character character = decode_utf8_character(bytes.substr(i));
    if (character.well_formed) {
      out.append(bytes.substr(i, character.length));
    } else {
      out += "\xEF\xBF\xBD";
    }
    i += character.length;
  }
  return out;
}

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace text
