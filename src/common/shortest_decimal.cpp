#include "common/shortest_decimal.h"

#include <charconv>
#include <cmath>

namespace common {

namespace {

// The shortest significant digits of a finite, non-zero magnitude and the
// decimal exponent of the first digit: value = 0.d1d2... * 10^point. The
// digits stay in the caller's buffer.
struct Digits {
  char buffer[32];
  std::size_t length = 0;
  int point = 0;

  std::string_view digits() const { return {buffer, length}; }
};

void shortest_digits(double magnitude, Digits& out) {
  char text[64];
  const auto result =
      std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific);
  const char* end = result.ptr;
  const char* p = text;
  for (; p < end && *p != 'e'; ++p) {
    if (*p != '.') out.buffer[out.length++] = *p;
  }
  int exponent = 0;
  std::from_chars(p + (p[1] == '+' ? 2 : 1), end, exponent);
  out.point = exponent + 1;
}

void append_positional(std::string& out, const Digits& d) {
  const std::string_view digits = d.digits();
  const auto length = static_cast<int>(digits.size());
  if (d.point <= 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-d.point), '0');
    out += digits;
  } else if (d.point >= length) {
    out += digits;
    out.append(static_cast<std::size_t>(d.point - length), '0');
  } else {
    const auto split = static_cast<std::size_t>(d.point);
    out += digits.substr(0, split);
    out += '.';
    out += digits.substr(split);
  }
}

// "NaN", "inf", "-inf", or false for a finite value.
bool append_non_finite(std::string& out, double value) {
  if (std::isnan(value)) {
    out += "NaN";
    return true;
  }
  if (std::isinf(value)) {
    out += value < 0 ? "-inf" : "inf";
    return true;
  }
  return false;
}

}  // namespace

void append_shortest(std::string& out, double value) {
  if (append_non_finite(out, value)) return;
  if (std::signbit(value)) out += '-';
  if (value == 0) {
    out += '0';
    return;
  }
  Digits d;
  shortest_digits(std::fabs(value), d);
  append_positional(out, d);
}

std::string format_shortest(double value) {
  std::string out;
  append_shortest(out, value);
  return out;
}

std::string format_float_for_message(double value) {
  std::string out;
  if (append_non_finite(out, value)) return out;
  if (std::signbit(value)) out += '-';
  if (value == 0) return out + "0.0";
  Digits d;
  shortest_digits(std::fabs(value), d);
  const auto length = static_cast<int>(d.length);
  if (d.point >= length && d.point <= 16) {
    append_positional(out, d);
    out += ".0";
  } else if (d.point > -5 && d.point <= 16) {
    append_positional(out, d);
  } else {
    out += d.buffer[0];
    if (length > 1) {
      out += '.';
      out += d.digits().substr(1);
    }
    out += 'e';
    out += std::to_string(d.point - 1);
  }
  return out;
}

}  // namespace common
