#include "report/html_text.h"

#include <algorithm>
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

// `scaled` / 10^places at `end`, as the shortest form writes it: no "-0",
// no trailing zeros, no point without digits after it.
char* write_scaled_integer(char* end, std::int64_t scaled, int places) {
  if (scaled < 0) *end++ = '-';
  std::uint64_t magnitude =
      scaled < 0 ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
  while (places > 0 && magnitude % 10 == 0) {
    magnitude /= 10;
    --places;
  }
  char digits[24];
  char* digits_end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
  const auto length = static_cast<int>(digits_end - digits);
  const int whole = length - places;
  if (whole <= 0) {
    *end++ = '0';
  } else {
    end = std::copy(digits, digits + whole, end);
  }
  if (places > 0) {
    *end++ = '.';
    for (int zero = whole; zero < 0; ++zero) *end++ = '0';
    end = std::copy(digits + std::max(whole, 0), digits_end, end);
  }
  return end;
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

char* write_number(char* out, double value, int decimals) {
  // Exact powers from a table: a library's pow need not be exact, and the
  // page must be the same bytes wherever it is written.
  static constexpr double kScales[] = {1, 10, 100, 1000, 10000};
  const int places = decimals < 0 ? 0 : decimals > 4 ? 4 : decimals;
  const double unrounded = value * kScales[places];
  // Below 2^51 the rounded number's shortest form is its decimal digits with
  // the trailing zeros dropped (the next number of as many places is
  // further than an ulp away), written from an integer, rounded half away
  // from zero as std::round does (the part cut off is exact there): a
  // drawing holds thousands of numbers, and the general shortest form costs
  // ten times as much.
  if (std::abs(unrounded) < 0x1p51) {
    auto scaled = static_cast<std::int64_t>(unrounded);
    const double cut = unrounded - static_cast<double>(scaled);
    if (cut >= 0.5) ++scaled;
    if (cut <= -0.5) --scaled;
    return write_scaled_integer(out, scaled, places);
  }
  double rounded = std::round(unrounded) / kScales[places];
  if (rounded == 0) rounded = 0;  // no "-0"
  return text::write_shortest(out, rounded);
}

void append_number(std::string& out, double value, int decimals) {
  char digits[kMaxNumberLength];
  out.append(digits, write_number(digits, value, decimals));
}

}  // namespace report
