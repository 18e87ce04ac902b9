#include "report/html_text.h"

#include <cmath>

#include "text/quoted_text.h"
#include "text/shortest_decimal.h"
#include "text/utf8.h"

namespace report {

namespace {

void append_code_point_name(std::string& out, char32_t c) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "&lt;U+";
  int shift = 20;
  while (shift > 12 && (c >> shift) == 0) shift -= 4;
  for (; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
  out += "&gt;";
}

void append_character(std::string& out, std::string_view sequence, char32_t c) {
  switch (c) {
    case '&':
      out += "&amp;";
      return;
    case '<':
      out += "&lt;";
      return;
    case '>':
      out += "&gt;";
      return;
    case '"':
      out += "&quot;";
      return;
    case '\'':
      out += "&#39;";
      return;
    default:
      break;
  }
  if (c < 0x20) {
    // A control shown as its picture keeps a name on one line and visible.
    text::append_utf8(out, 0x2400 + c);
  } else if (c == 0x7F) {
    text::append_utf8(out, 0x2421);
  } else if (text::is_invisible_character(c)) {
    append_code_point_name(out, c);
  } else {
    out += sequence;
  }
}

}  // namespace

void append_html_text(std::string& out, std::string_view bytes) {
  while (!bytes.empty()) {
    const text::Utf8Character character = text::decode_utf8_character(bytes);
    if (!character.well_formed) {
      text::append_utf8(out, 0xFFFD);
    } else {
      append_character(out, bytes.substr(0, character.length), character.code_point);
    }
    bytes.remove_prefix(character.length);
  }
}

std::string html_text(std::string_view bytes) {
  std::string out;
  append_html_text(out, bytes);
  return out;
}

void append_number(std::string& out, double value, int decimals) {
  // Exact powers from a table: a library's pow need not be exact, and the
  // page must be the same bytes wherever it is written.
  static constexpr double kScales[] = {1, 10, 100, 1000, 10000};
  const double scale = kScales[decimals < 0 ? 0 : decimals > 4 ? 4 : decimals];
  double rounded = std::round(value * scale) / scale;
  if (rounded == 0) rounded = 0;  // no "-0"
  char digits[text::kMaxShortestLength];
  out.append(digits, text::write_shortest(digits, rounded));
}

}  // namespace report
