#include "check/line_text.h"

#include "text/utf8.h"

namespace check {

namespace {

constexpr char32_t kDelete = 0x7F;
constexpr char32_t kLastC0 = 0x1F;
constexpr char32_t kFirstC1 = 0x80;
constexpr char32_t kLastC1 = 0x9F;

bool is_control(char32_t code_point) {
  return code_point <= kLastC0 || code_point == kDelete ||
         (code_point >= kFirstC1 && code_point <= kLastC1);
}

void append_escaped_bytes(std::string& out, std::string_view bytes) {
  constexpr std::string_view kHex = "0123456789ABCDEF";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
  }
}

}  // namespace

std::string escape_for_line(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const text::Utf8Character character = text::decode_utf8_character(text);
    const std::string_view bytes = text.substr(0, character.length);
    if (!character.well_formed || is_control(character.code_point)) {
      append_escaped_bytes(out, bytes);
    } else {
      out += bytes;
    }
    text.remove_prefix(character.length);
  }
  return out;
}

}  // namespace check
