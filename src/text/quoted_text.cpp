#include "text/quoted_text.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "text/utf8.h"

namespace text {

namespace {

struct InvisibleRun {
  std::uint32_t first;
  std::uint32_t last;
};

constexpr InvisibleRun kInvisible[] = {
#include "text/invisible_table.inc"
};

void append_hex_escape(std::string& out, char32_t c) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\u{";
  int shift = 20;
  while (shift > 0 && (c >> shift) == 0) shift -= 4;
  for (; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
  out += '}';
}

// `sequence`, the well-formed UTF-8 form of `c`, as a message shows it.
void append_character(std::string& out, std::string_view sequence, char32_t c) {
  switch (c) {
    case '"':
      out += "\\\"";
      return;
    case '\\':
      out += "\\\\";
      return;
    case '\n':
      out += "\\n";
      return;
    case '\r':
      out += "\\r";
      return;
    case '\t':
      out += "\\t";
      return;
    case '\0':
      out += "\\0";
      return;
    default:
      if (is_invisible_character(c)) {
        append_hex_escape(out, c);
      } else {
        out += sequence;
      }
  }
}

}  // namespace

bool is_invisible_character(char32_t c) {
  const auto run =
      std::upper_bound(std::begin(kInvisible), std::end(kInvisible), c,
                       [](char32_t value, const InvisibleRun& r) { return value < r.first; });
  return run != std::begin(kInvisible) && c <= (run - 1)->last;
}

std::string quote_for_message(std::string_view text) {
  std::string out = "\"";
  while (!text.empty()) {
    // Texts reach messages checked as UTF-8; a stray byte would still show
    // as the replacement character rather than as itself.
    const Utf8Character character = text::decode_utf8_character(text);
    if (!character.well_formed) {
      append_hex_escape(out, 0xFFFD);
      text.remove_prefix(1);
      continue;
    }
    append_character(out, text.substr(0, character.length), character.code_point);
    text.remove_prefix(character.length);
  }
  out += '"';
  return out;
}

}  // namespace text
