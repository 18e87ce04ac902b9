#include "report/html_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>

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

// `scaled` / 10^places, as the shortest form writes it: no "-0", no
// trailing zeros, no point without digits after it.
void append_scaled_integer(std::string& out, std::int64_t scaled, int places) {
  if (scaled == 0) {
    out += '0';
    return;
  }
  if (scaled < 0) out += '-';
  std::uint64_t magnitude =
      scaled < 0 ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
  char digits[24];
  char* end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
  auto length = static_cast<int>(end - digits);
  int fraction = places;
  while (fraction > 0 && end[-1] == '0') {
    --end;
    --length;
    --fraction;
  }
  const int whole = length - fraction;
  if (whole <= 0) {
    out += '0';
  } else {
    out.append(digits, static_cast<std::size_t>(whole));
  }
  if (fraction == 0) return;
  out += '.';
  out.append(static_cast<std::size_t>(whole < 0 ? -whole : 0), '0');
  out.append(digits + (whole > 0 ? whole : 0), end);
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
  const int places = decimals < 0 ? 0 : decimals > 4 ? 4 : decimals;
  const double scaled = std::round(value * kScales[places]);
  // Below 2^52 the rounded number's shortest form is its decimal digits with
  // the trailing zeros dropped (the next number of as many places is
  // further than an ulp away), written from an integer: a drawing holds
  // thousands of numbers, and the general shortest form costs ten times as
  // much.
  if (std::abs(scaled) < 0x1p52) {
    append_scaled_integer(out, static_cast<std::int64_t>(scaled), places);
    return;
  }
  const double rounded = scaled / kScales[places];
  char digits[text::kMaxShortestLength];
  out.append(digits, text::write_shortest(digits, rounded));
}

}  // namespace report
